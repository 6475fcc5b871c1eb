// Where the filter lists are kept, per user: one subkey a list under
// HKCU\Software\Nimbrel\FilterLists (string values), the copies in
// %LOCALAPPDATA%\Nimbrel\filters\ named after their subkeys.
#pragma once

#include "filter/filter_lists.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

inline constexpr const wchar_t* kFilterListsKey = L"Software\\Nimbrel\\FilterLists";
// Written by the installer's recommended settings into the machine-wide settings key; each
// user's first start after it subscribes the recommended lists once.
inline constexpr const wchar_t* kRecommendedListsMark = L"subscribelists";
inline constexpr const wchar_t* kRecommendedListsTaken = L"subscribedrecommended";

struct StoredList {
    std::wstring key;  // the subkey's name, also the copy's name
    FilterListRow row;
    std::wstring etag, lastModified;  // of the copy, for a conditional request
    std::int64_t nextCheck = 0;       // unix seconds; 0: at the first check
    int failures = 0;                 // failed updates in a row
    int expiresHours = 0;             // the copy's own interval; 0: it names none
};

// The folder of the copies with its trailing separator, created when missing; empty when
// the user has no local application data folder.
std::wstring filterCopiesFolder();
std::wstring copyPath(const std::wstring& folder, const StoredList& list);

// In the order of their keys; a subkey that cannot be read is left out.
std::vector<StoredList> loadFilterLists();
// A key no list has yet.
std::wstring newFilterListKey(const std::vector<StoredList>& lists);
// Throws "Failed to set data for '%s'" when the list cannot be written.
void saveFilterList(const StoredList& list);
void deleteFilterList(const std::wstring& key);

// Whether the installer asked for the recommended lists and this user has not had them yet;
// `markTaken` records that they were.
bool recommendedListsWanted();
void markRecommendedListsTaken();

}  // namespace nimbrel
