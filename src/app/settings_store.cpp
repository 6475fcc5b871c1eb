#include "app/settings_store.h"

#include "app/fallback_key.h"
#include "app/registry.h"

#include <windows.h>

#include <vector>

namespace nimbrel {

namespace {

FallbackKey settingsKey() { return FallbackKey(kSettingsKey, kUserSettingsKey); }
FallbackKey runKey() { return FallbackKey(kRunKey, kRunKey); }

}  // namespace

void loadsettings(Settings& settings) {
    const FallbackKey key = settingsKey();
    for (const auto& field : kSettingFields) settings.*field.text = key.read(field.name);
    settings.killlevel = loadedLevel(settings.killlevel);
    settings.shownotice = loadedNoticeFlag(settings.shownotice);
}

void savesettings(const Settings& settings) {
    FallbackKey key = settingsKey();
    for (const auto& field : kSettingFields) key.write(field.name, settings.*field.text);
}

void writeRunningFlag(bool running) {
    settingsKey().write(kRunningFlagValue, flagText(running));
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
    FallbackKey key = runKey();
    if (!key.exists(kAutorunValue)) key.write(kAutorunValue, command);
}

void removeautorun() {
    runKey().remove(kAutorunValue);
}

}  // namespace nimbrel
