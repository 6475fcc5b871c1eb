// String values under HKEY_LOCAL_MACHINE: every access opens its key with full access,
// creating it when absent, and closes it at once.
#pragma once

#include "platform/raii.h"

#include <string>

namespace nimbrel {

inline constexpr const wchar_t* kSettingsKey = L"SOFTWARE\\Nimbrel";
inline constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Opens (or creates) the key; an empty handle when that is not possible.
RegKey openMachineKey(const wchar_t* path);

// A missing value, or a key that could not be opened, reads as an empty text. A string
// value reads up to its first NUL. Any other type throws "Invalid data type for '%s'".
std::wstring readString(HKEY key, const wchar_t* name);

// Throws "Failed to set data for '%s'" when the key is missing or the write fails.
void writeString(HKEY key, const wchar_t* name, const std::wstring& text);

bool valueExists(HKEY key, const wchar_t* name);
// A value that cannot be deleted throws like a failed write.
void deleteValue(HKEY key, const wchar_t* name);

}  // namespace nimbrel
