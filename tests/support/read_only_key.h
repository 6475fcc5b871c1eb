// A registry key everyone may read and nobody may write, as HKEY_LOCAL_MACHINE is for a
// standard user. Wine enforces a key's DACL even for its administrator token, until the
// session ends; the old DACL is put back when this goes.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <vector>

namespace test_support {

class ReadOnlyKey {
 public:
  ReadOnlyKey(HKEY root, const wchar_t* path) {
    RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    DWORD size = 4096;
    old_.resize(size);
    PSECURITY_DESCRIPTOR read_only = nullptr;
    if (RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, old_.data(), &size) == ERROR_SUCCESS &&
        ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &read_only, nullptr))
      RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, read_only);
    LocalFree(read_only);
    HKEY probe = nullptr;
    enforced_ = RegOpenKeyExW(root, path, 0, KEY_WRITE, &probe) == ERROR_ACCESS_DENIED;
  }
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;
  ~ReadOnlyKey() {
    RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, old_.data());
    RegCloseKey(key_);
  }
  // Whether opening the key for writing is now refused.
  bool enforced() const { return enforced_; }

 private:
  HKEY key_ = nullptr;
  std::vector<BYTE> old_;
  bool enforced_ = false;
};

}  // namespace test_support
