#include "filter/filter_list_store.h"

#include "core/messages.h"
#include "platform/error.h"
#include "platform/raii.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>

namespace nimbrel {
namespace {

constexpr const wchar_t* kMachineSettingsKey = L"SOFTWARE\\Nimbrel";

RegKey openListsKey(REGSAM access) {
    RegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kFilterListsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        key.release();
    return key;
}

std::wstring readText(HKEY key, const wchar_t* name) {
    DWORD bytes = 0;
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return {};
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) != ERROR_SUCCESS) return {};
    text.resize(wcslen(text.c_str()));
    return text;
}

std::int64_t readNumber(HKEY key, const wchar_t* name) {
    const std::wstring text = readText(key, name);
    return text.empty() ? 0 : std::wcstoll(text.c_str(), nullptr, 10);
}

void writeText(HKEY key, const wchar_t* name, const std::wstring& text) {
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) != ERROR_SUCCESS)
        throw Error(formatMessage(L"Failed to set data for '%s'", {name}));
}

void writeNumber(HKEY key, const wchar_t* name, std::int64_t value) { writeText(key, name, std::to_wstring(value)); }

StoredList readList(HKEY key, const std::wstring& name) {
    StoredList list;
    list.key = name;
    list.row.name = readText(key, L"name");
    list.row.source = readText(key, L"source");
    list.row.enabled = readText(key, L"enabled") != L"0";
    if (const std::int64_t last = readNumber(key, L"lastupdate")) list.row.lastUpdate = last;
    list.row.rules = static_cast<std::size_t>(std::max<std::int64_t>(0, readNumber(key, L"rules")));
    list.row.unused = static_cast<std::size_t>(std::max<std::int64_t>(0, readNumber(key, L"unused")));
    list.row.status = readText(key, L"status");
    list.etag = readText(key, L"etag");
    list.lastModified = readText(key, L"lastmodified");
    list.nextCheck = readNumber(key, L"nextcheck");
    list.failures = static_cast<int>(readNumber(key, L"failures"));
    list.expiresHours = static_cast<int>(readNumber(key, L"expires"));
    return list;
}

bool keyOrder(const StoredList& a, const StoredList& b) {
    return a.key.size() != b.key.size() ? a.key.size() < b.key.size() : a.key < b.key;
}

}  // namespace

std::wstring filterCopiesFolder() {
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &known))) {
        folder = std::wstring(known) + L"\\Nimbrel\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        folder += L"filters\\";
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    CoTaskMemFree(known);
    return folder;
}

std::wstring copyPath(const std::wstring& folder, const StoredList& list) { return folder + list.key + L".txt"; }

std::vector<StoredList> loadFilterLists() {
    std::vector<StoredList> lists;
    const RegKey root = openListsKey(KEY_READ);
    if (!root) return lists;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(root.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        RegKey key;
        if (RegOpenKeyExW(root.get(), name, 0, KEY_READ, key.put()) != ERROR_SUCCESS) continue;
        StoredList list = readList(key.get(), name);
        if (!list.row.source.empty()) lists.push_back(std::move(list));
    }
    std::sort(lists.begin(), lists.end(), keyOrder);
    return lists;
}

std::wstring newFilterListKey(const std::vector<StoredList>& lists) {
    std::int64_t highest = 0;
    for (const StoredList& list : lists) highest = std::max<std::int64_t>(highest, std::wcstoll(list.key.c_str(), nullptr, 10));
    return std::to_wstring(highest + 1);
}

void saveFilterList(const StoredList& list) {
    RegKey key;
    const std::wstring path = std::wstring(kFilterListsKey) + L"\\" + list.key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        throw Error(formatMessage(L"Failed to set data for '%s'", {path}));
    writeText(key.get(), L"name", list.row.name);
    writeText(key.get(), L"source", list.row.source);
    writeText(key.get(), L"enabled", list.row.enabled ? L"1" : L"0");
    writeNumber(key.get(), L"lastupdate", list.row.lastUpdate.value_or(0));
    writeNumber(key.get(), L"rules", static_cast<std::int64_t>(list.row.rules));
    writeNumber(key.get(), L"unused", static_cast<std::int64_t>(list.row.unused));
    writeText(key.get(), L"status", list.row.status);
    writeText(key.get(), L"etag", list.etag);
    writeText(key.get(), L"lastmodified", list.lastModified);
    writeNumber(key.get(), L"nextcheck", list.nextCheck);
    writeNumber(key.get(), L"failures", list.failures);
    writeNumber(key.get(), L"expires", list.expiresHours);
}

void deleteFilterList(const std::wstring& key) {
    const RegKey root = openListsKey(KEY_ALL_ACCESS);
    if (root) RegDeleteKeyW(root.get(), key.c_str());
}

bool recommendedListsWanted() {
    RegKey machine;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMachineSettingsKey, 0, KEY_READ, machine.put()) != ERROR_SUCCESS)
        return false;
    if (readText(machine.get(), kRecommendedListsMark) != L"1") return false;
    const RegKey user = openListsKey(KEY_READ);
    return !user || readText(user.get(), kRecommendedListsTaken) != L"1";
}

void markRecommendedListsTaken() {
    const RegKey user = openListsKey(KEY_SET_VALUE);
    if (user) writeText(user.get(), kRecommendedListsTaken, L"1");
}

}  // namespace nimbrel
