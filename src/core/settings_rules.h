// The program's settings as the texts it keeps, and the rules for reading them.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace nimbrel {

struct Settings {
    std::wstring killpop;     // close pop-up windows
    std::wstring killurl;     // block advertisement links and sites
    std::wstring killbanner;  // shown and stored only
    std::wstring killimage;   // no control: carried through unchanged
    std::wstring autostart;   // start with Windows
    std::wstring enhotcut;    // holding Ctrl suspends filtering
    std::wstring automin;     // minimise to the tray after start
    std::wstring autoontop;   // keep the main window on top
    std::wstring killemb;     // no control: carried through unchanged
    std::wstring killlevel;   // sensitivity level "0" (highest) to "4" (lowest)
    std::wstring shownotice;  // a tray notice when a page the user asked for is removed
};

struct SettingField {
    const wchar_t* name;  // registry value name
    std::wstring Settings::*text;
};

// Registry order: settings are loaded and saved in exactly this order.
inline constexpr std::array<SettingField, 11> kSettingFields{{
    {L"killpop", &Settings::killpop},
    {L"killurl", &Settings::killurl},
    {L"killbanner", &Settings::killbanner},
    {L"killimage", &Settings::killimage},
    {L"autostart", &Settings::autostart},
    {L"enhotcut", &Settings::enhotcut},
    {L"automin", &Settings::automin},
    {L"autoontop", &Settings::autoontop},
    {L"killemb", &Settings::killemb},
    {L"killlevel", &Settings::killlevel},
    {L"shownotice", &Settings::shownotice},
}};

inline constexpr int kLevelCount = 5;
inline constexpr std::wstring_view kDefaultLevel = L"1";

// A flag is on only when its text is exactly "1". Asked at every navigation: inline.
inline bool isOn(std::wstring_view flag) { return flag.size() == 1 && flag[0] == L'1'; }
std::wstring flagText(bool on);

// The level after loading: an empty text reads as "1", anything else is kept as stored.
std::wstring loadedLevel(std::wstring_view stored);
// Notices are on until switched off: a missing (empty) value reads as "1".
std::wstring loadedNoticeFlag(std::wstring_view stored);
// Index 0..4 of a level text; any text other than "0".."4" counts as level 1.
int levelIndex(std::wstring_view level);
std::wstring levelText(int index);

}  // namespace nimbrel
