// Where the white and black lists are kept: beside the program while its folder can be
// written, else in Nimbrel\ under the user's local application data folder. A list found
// there is the one that counts.
#pragma once

#include <string>

namespace nimbrel {

// The user's own copy of a list file (whether or not it exists); empty when the user has
// no local application data folder.
std::wstring userListPath(const wchar_t* fileName);
// The file a list is loaded from.
std::wstring listReadPath(const wchar_t* fileName);
// The file a list is saved to; the user's folder is created when it is needed.
std::wstring listWritePath(const wchar_t* fileName);

}  // namespace nimbrel
