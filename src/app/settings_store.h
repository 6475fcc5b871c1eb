// The settings in the registry key of the program, and the start-with-Windows entry.
// Both live machine-wide when the user may write there, else under HKEY_CURRENT_USER.
#pragma once

#include "core/settings_rules.h"

#include <string>

namespace nimbrel {

void loadsettings(Settings& settings);
void savesettings(const Settings& settings);

// The running flag, written at start ("1") and at close ("0"); never read.
void writeRunningFlag(bool running);

// The Run value's text: the full path of the running executable in double quotes.
std::wstring autorunCommand();
// Creates the Run value if it is absent from both places; an existing one is left as it is.
void addautorun();
// Deletes the Run value from wherever it is.
void removeautorun();

inline constexpr const wchar_t* kAutorunValue = L"Nimbrel";
inline constexpr const wchar_t* kRunningFlagValue = L"istarnwickrunning";

}  // namespace nimbrel
