#include "app/registry.h"

#include "core/messages.h"
#include "platform/error.h"

#include <vector>

namespace nimbrel {

RegKey openKey(HKEY root, const wchar_t* path) {
    RegKey key;
    if (RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        key.release();
    }
    return key;
}

RegKey openKeyForReading(HKEY root, const wchar_t* path) {
    RegKey key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) key.release();
    return key;
}

std::wstring readString(HKEY key, const wchar_t* name) {
    if (!key) return {};
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Error(formatMessage(L"Invalid data type for '%s'", {name}));
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    buffer.back() = L'\0';
    return std::wstring(buffer.data());  // up to the first NUL
}

void writeString(HKEY key, const wchar_t* name, const std::wstring& text) {
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (!key ||
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) != ERROR_SUCCESS)
        throw Error(formatMessage(L"Failed to set data for '%s'", {name}));
}

bool valueExists(HKEY key, const wchar_t* name) {
    return key && RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void deleteValue(HKEY key, const wchar_t* name) {
    const LONG result = key ? RegDeleteValueW(key, name) : ERROR_ACCESS_DENIED;
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        throw Error(formatMessage(L"Failed to set data for '%s'", {name}));
}

}  // namespace nimbrel
