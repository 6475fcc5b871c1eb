// Takes all the room of a file system but a few bytes while it lives, so that a save
// meets a really full disk (scripts/test.sh mounts a small one, NIMBREL_FULL_DISK).
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace test_support {

// The small file system's folder, empty when the test command did not mount one.
inline std::wstring full_disk_folder() {
  const char* folder = std::getenv("NIMBREL_FULL_DISK");
  return folder ? std::wstring(folder, folder + std::strlen(folder)) : std::wstring();
}

// Lines of a black list, cut to the size.
inline std::string list_of_size(size_t size, char tag) {
  std::string text;
  char line[48];
  for (int n = 0; text.size() < size; ++n) {
    std::snprintf(line, sizeof line, "//%c%06d.ads.example/\r\n", tag, n);
    text += line;
  }
  text.resize(size);
  return text;
}

class DiskFiller {
 public:
  DiskFiller(const std::wstring& folder, std::uint64_t room) : path_(folder + L"\\filler.bin") {
    ULARGE_INTEGER free{};
    GetDiskFreeSpaceExW(folder.c_str(), &free, nullptr, nullptr);
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string block(4096, 'f');
    for (std::uint64_t left = free.QuadPart > room ? free.QuadPart - room : 0; left >= block.size();
         left -= block.size()) {
      DWORD written = 0;
      if (!WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr)) break;
    }
    CloseHandle(file);
  }
  DiskFiller(const DiskFiller&) = delete;
  DiskFiller& operator=(const DiskFiller&) = delete;
  ~DiskFiller() { DeleteFileW(path_.c_str()); }

 private:
  std::wstring path_;
};

}  // namespace test_support
