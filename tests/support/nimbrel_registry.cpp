#include "support/nimbrel_registry.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

namespace e2e {

namespace {

const wchar_t kNimbrelKey[] = L"SOFTWARE\\Nimbrel";
const wchar_t kTreatAsKey[] = L"CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\\TreatAs";

class Key {
 public:
  explicit Key(bool create) {
    const LSTATUS status =
        create ? RegCreateKeyExW(HKEY_LOCAL_MACHINE, kNimbrelKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &key_, nullptr)
               : RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNimbrelKey, 0, KEY_ALL_ACCESS, &key_);
    if (status != ERROR_SUCCESS) key_ = nullptr;
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::optional<std::wstring> read_nimbrel_value(const std::wstring& name) {
  const Key key(false);
  if (!key.get()) return std::nullopt;
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(text.data());
}

void write_nimbrel_value(const std::wstring& name, const std::wstring& value) {
  const Key key(true);
  if (!key.get() ||
      RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    throw std::runtime_error("cannot write a value of HKLM\\SOFTWARE\\Nimbrel");
}

void delete_nimbrel_value(const std::wstring& name) {
  const Key key(false);
  if (key.get()) RegDeleteValueW(key.get(), name.c_str());
}

void delete_nimbrel_key() {
  const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, kNimbrelKey);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
    throw std::runtime_error("cannot delete HKLM\\SOFTWARE\\Nimbrel");
}

void remove_shell_windows_redirect() { RegDeleteKeyW(HKEY_CLASSES_ROOT, kTreatAsKey); }

void redirect_shell_windows(const std::wstring& clsid) {
  if (RegSetKeyValueW(HKEY_CLASSES_ROOT, kTreatAsKey, nullptr, REG_SZ, clsid.c_str(),
                      static_cast<DWORD>((clsid.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    throw std::runtime_error("cannot write the TreatAs of ShellWindows");
}

}  // namespace e2e
