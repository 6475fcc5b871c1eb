// String values in the registry: every access opens its key, creating it when absent
// where it may, and closes it at once.
#pragma once

#include "platform/raii.h"

#include <string>

namespace nimbrel {

inline constexpr const wchar_t* kSettingsKey = L"SOFTWARE\\Nimbrel";
// Where the settings go for a user who may not write the machine-wide key.
inline constexpr const wchar_t* kUserSettingsKey = L"Software\\Nimbrel";
inline constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Opens (or creates) the key with full access; an empty handle when that is not possible.
RegKey openKey(HKEY root, const wchar_t* path);
inline RegKey openMachineKey(const wchar_t* path) { return openKey(HKEY_LOCAL_MACHINE, path); }
// Opens an existing key for reading only; an empty handle when it is missing or closed to us.
RegKey openKeyForReading(HKEY root, const wchar_t* path);

// A missing value, or a key that could not be opened, reads as an empty text. A string
// value reads up to its first NUL. Any other type throws "Invalid data type for '%s'".
std::wstring readString(HKEY key, const wchar_t* name);

// Throws "Failed to set data for '%s'" when the key is missing or the write fails.
void writeString(HKEY key, const wchar_t* name, const std::wstring& text);

bool valueExists(HKEY key, const wchar_t* name);
// A value that cannot be deleted throws like a failed write.
void deleteValue(HKEY key, const wchar_t* name);

}  // namespace nimbrel
