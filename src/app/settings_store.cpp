#include "app/settings_store.h"

#include "app/registry.h"

#include <windows.h>

#include <vector>

namespace nimbrel {

void loadsettings(Settings& settings) {
    RegKey key = openMachineKey(kSettingsKey);
    for (const auto& field : kSettingFields) settings.*field.text = readString(key.get(), field.name);
    settings.killlevel = loadedLevel(settings.killlevel);
}

void savesettings(const Settings& settings) {
    RegKey key = openMachineKey(kSettingsKey);
    for (const auto& field : kSettingFields) writeString(key.get(), field.name, settings.*field.text);
}

void writeRunningFlag(bool running) {
    RegKey key = openMachineKey(kSettingsKey);
    writeString(key.get(), kRunningFlagValue, flagText(running));
}

std::wstring autorunCommand() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return L"\"" + std::wstring(path.data(), length) + L"\"";
        path.resize(path.size() * 2);
    }
}

void addautorun() {
    const std::wstring command = autorunCommand();
    RegKey key = openMachineKey(kRunKey);
    if (!valueExists(key.get(), kAutorunValue)) writeString(key.get(), kAutorunValue, command);
}

void removeautorun() {
    RegKey key = openMachineKey(kRunKey);
    if (valueExists(key.get(), kAutorunValue)) deleteValue(key.get(), kAutorunValue);
}

}  // namespace nimbrel
