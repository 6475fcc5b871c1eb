#include "app/registry_fixture.h"
#include "platform/error.h"

namespace nimbrel::testing {
namespace {

using SettingsStoreTest = RegistryTest;

TEST_F(SettingsStoreTest, FirstLoadCreatesTheKeyAndReadsLevelOne) {
    Settings settings;
    settings.killpop = L"stale";
    loadsettings(settings);
    EXPECT_TRUE(settingsKeyExists());
    EXPECT_EQ(settings.killpop, L"");
    EXPECT_EQ(settings.killurl, L"");
    EXPECT_EQ(settings.killlevel, L"1");
    EXPECT_EQ(settings.shownotice, L"1") << "notices are on until switched off";
    storeText(L"shownotice", L"0");
    loadsettings(settings);
    EXPECT_EQ(settings.shownotice, L"0");
}

TEST_F(SettingsStoreTest, StringValuesReadUpToTheirFirstNul) {
    RegKey key = openMachineKey(kSettingsKey);
    const wchar_t text[] = L"1\0junk";
    RegSetValueExW(key.get(), L"killurl", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    const wchar_t expand[] = L"%TEMP%";
    RegSetValueExW(key.get(), L"killemb", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof(expand));
    Settings settings;
    loadsettings(settings);
    EXPECT_EQ(settings.killurl, L"1");
    EXPECT_EQ(settings.killemb, L"%TEMP%");  // read as stored, not expanded
}

TEST_F(SettingsStoreTest, ANonStringValueIsAnInvalidDataTypeError) {
    storeDword(L"killpop", 1);
    Settings settings;
    try {
        loadsettings(settings);
        FAIL() << "a REG_DWORD setting must not load";
    } catch (const Error& error) {
        EXPECT_EQ(error.text(), L"Invalid data type for 'killpop'");
    }
}

TEST_F(SettingsStoreTest, SaveWritesAllTenValuesAsStrings) {
    Settings settings;
    settings.killpop = L"1";
    settings.killimage = L"x";
    settings.killlevel = L"3";
    savesettings(settings);
    RegKey key = openMachineKey(kSettingsKey);
    for (const auto& field : kSettingFields) {
        DWORD type = 0;
        ASSERT_EQ(RegQueryValueExW(key.get(), field.name, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS)
            << "missing " << std::string(field.name, field.name + wcslen(field.name));
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    }
    Settings reloaded;
    loadsettings(reloaded);
    EXPECT_EQ(reloaded.killpop, L"1");
    EXPECT_EQ(reloaded.killimage, L"x");
    EXPECT_EQ(reloaded.killemb, L"");
    EXPECT_EQ(reloaded.killlevel, L"3");
}

TEST_F(SettingsStoreTest, UnknownValuesCarryThroughSavesUnchanged) {
    storeText(L"killimage", L"1");
    storeText(L"killemb", L"some text");
    storeText(L"killlevel", L"7");
    Settings settings;
    loadsettings(settings);
    EXPECT_EQ(settings.killlevel, L"7");  // kept as stored until shown
    savesettings(settings);
    savesettings(settings);
    EXPECT_EQ(storedText(kSettingsKey, L"killimage"), L"1");
    EXPECT_EQ(storedText(kSettingsKey, L"killemb"), L"some text");
}

TEST_F(SettingsStoreTest, RunningFlagIsWrittenAsText) {
    writeRunningFlag(true);
    EXPECT_EQ(storedText(kSettingsKey, kRunningFlagValue), L"1");
    writeRunningFlag(false);
    EXPECT_EQ(storedText(kSettingsKey, kRunningFlagValue), L"0");
}

using AutorunTest = RegistryTest;

TEST_F(AutorunTest, AddWritesTheQuotedPathOfTheRunningProgram) {
    addautorun();
    const std::wstring value = storedText(kRunKey, kAutorunValue);
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(value, L"\"" + std::wstring(path) + L"\"");
}

TEST_F(AutorunTest, AddLeavesAnExistingValueAlone) {
    RegKey run = openMachineKey(kRunKey);
    writeString(run.get(), kAutorunValue, L"C:\\elsewhere\\other.exe");
    addautorun();
    EXPECT_EQ(storedText(kRunKey, kAutorunValue), L"C:\\elsewhere\\other.exe");
}

TEST_F(AutorunTest, RemoveDeletesTheValueAndToleratesItsAbsence) {
    addautorun();
    removeautorun();
    RegKey run = openMachineKey(kRunKey);
    EXPECT_FALSE(valueExists(run.get(), kAutorunValue));
    EXPECT_NO_THROW(removeautorun());
}

}  // namespace
}  // namespace nimbrel::testing
