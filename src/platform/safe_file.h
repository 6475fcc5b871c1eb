// Saving a file's bytes so that a failure never costs the old file: it is kept byte for
// byte, or the new one is there whole, never a mix of both.
#pragma once

#include <string>
#include <string_view>

namespace nimbrel {

// Names of the files a save makes beside the one it replaces (a prefix, four hex digits
// and an extension), for whoever cleans up after a program that was killed during a save.
inline constexpr const wchar_t* kSavePrefix = L"lis";
inline constexpr const wchar_t* kSaveNewExtension = L".tmp";
inline constexpr const wchar_t* kSaveOldExtension = L".bak";

// Throws "Cannot create file %s" when a save of the file would fail for want of access:
// a read-only file, or one another program holds open without letting it be written or
// replaced (a hold of a moment, as a virus scanner's, is waited out). A missing file passes.
void checkFileWritable(const std::wstring& path);

// Replaces the file with the bytes, keeping the old file's attributes and access list. The
// bytes go to a new file in the same folder, which then takes the old one's place; the old
// one keeps a second name until that is done, so that every failure can be undone. Where
// the folder takes no new file (a program folder a standard user may not add to), the file
// is written in place: grown to its new size first, so that a full disk fails before a
// byte of it is touched. Anything that fails throws "Cannot create file %s".
void writeFileBytes(const std::wstring& path, std::string_view bytes);

// After a swap that failed part way, with the old file under its own name or the backup
// name and the new one under the temporary name: puts the old file back under its name
// (or, when it is gone, the new one) and removes what is left over. False only when
// neither could be put under the name; the backup is then kept.
bool undoFailedReplace(const std::wstring& path, const std::wstring& temporary, const std::wstring& backup);

}  // namespace nimbrel
