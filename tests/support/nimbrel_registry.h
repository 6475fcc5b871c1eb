// The registry as nimbrel.exe leaves it, and the redirection the test shell writes.
#pragma once

#include <optional>
#include <string>

namespace e2e {

// A REG_SZ value of HKLM\SOFTWARE\Nimbrel; nullopt when the key or value is missing
// or is not a string.
std::optional<std::wstring> read_nimbrel_value(const std::wstring& name);
void write_nimbrel_value(const std::wstring& name, const std::wstring& value);
void delete_nimbrel_value(const std::wstring& name);
// Removes HKLM\SOFTWARE\Nimbrel with all its values.
void delete_nimbrel_key();

// Removes a TreatAs of CLSID_ShellWindows left by a stand-in that was killed.
void remove_shell_windows_redirect();
// Points CLSID_ShellWindows at another class id, as a stand-in does.
void redirect_shell_windows(const std::wstring& clsid);

}  // namespace e2e
