// A registry key of the program's that lives under HKEY_LOCAL_MACHINE while the user may
// write there, with the same key under HKEY_CURRENT_USER taking each value that cannot
// be written machine-wide. A value in the user's key is read in preference.
#pragma once

#include "platform/raii.h"

#include <string>

namespace nimbrel {

class FallbackKey {
public:
    FallbackKey(const wchar_t* machinePath, const wchar_t* userPath);

    // Empty when the value is in neither place; a value that is not a string throws
    // "Invalid data type for '%s'".
    std::wstring read(const wchar_t* name) const;
    bool exists(const wchar_t* name) const;
    // Throws "Failed to set data for '%s'" when neither place takes the value.
    void write(const wchar_t* name, const std::wstring& text);
    // Deletes the value from both places; throws like a failed write when a copy stays.
    void remove(const wchar_t* name);

private:
    bool inUserKey(const wchar_t* name) const;

    RegKey machine_;  // opened for writing when the user may, else for reading
    bool machineWritable_ = false;
    RegKey user_;  // opened when it exists (for writing if it may be), else created at the first write
    std::wstring userPath_;
};

}  // namespace nimbrel
