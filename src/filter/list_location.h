// Where the white and black lists are kept, chosen for each file: beside the program while
// that file (or, when it is missing, the program's folder) can be written, else in
// Nimbrel\ under the user's local application data folder. A list is read from where it
// is saved, so that a save is what the next start sees.
#pragma once

#include <string>

namespace nimbrel {

// The user's own copy of a list file (whether or not it exists); empty when the user has
// no local application data folder.
std::wstring userListPath(const wchar_t* fileName);
// The file a list is loaded from: where it is saved, or while the user has no copy of
// their own yet, the one beside the program that they may read but not change.
std::wstring listReadPath(const wchar_t* fileName);
// The file a list is saved to; the user's folder is created when it is needed.
std::wstring listWritePath(const wchar_t* fileName);

}  // namespace nimbrel
