// Tests that use the real registry of the test prefix start from a known state.
#pragma once

#include "app/registry.h"
#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbrel::testing {

// Both places: the machine-wide one and the user's own.
inline void deleteSettingsKey() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kUserSettingsKey);
}

inline void deleteAutorunValue() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegKey run = openKey(root, kRunKey);
        if (run) RegDeleteValueW(run.get(), kAutorunValue);
    }
}

inline bool settingsKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline std::wstring storedText(const wchar_t* keyPath, const wchar_t* name, HKEY root = HKEY_LOCAL_MACHINE) {
    RegKey key = openKeyForReading(root, keyPath);
    return readString(key.get(), name);
}

inline void storeText(const wchar_t* name, const std::wstring& text) {
    RegKey key = openMachineKey(kSettingsKey);
    writeString(key.get(), name, text);
}

inline void storeDword(const wchar_t* name, DWORD value) {
    RegKey key = openMachineKey(kSettingsKey);
    RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        deleteSettingsKey();
        deleteAutorunValue();
    }
    void TearDown() override {
        deleteSettingsKey();
        deleteAutorunValue();
    }
};

}  // namespace nimbrel::testing
