// A confirm on a really full disk: scripts/test.sh mounts a small tmpfs as a program
// folder (NIMBREL_FULL_DISK) with a copy of nimbrel.exe in it and in its sub-folder
// "locked", which takes no new file (immutable flag), so that both ways of saving meet the
// full disk: a new file beside the old one, and writing in place. The test fills what is
// left. The old list must come through byte for byte, with a message naming it, and
// nothing of the save left behind; with room again, the same confirm saves.
#include "e2e/filter_fixture.h"
#include "support/desktop_windows.h"
#include "support/disk_filler.h"
#include "support/wait.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace e2e {
namespace {

std::string fingerprint(const std::optional<std::string>& bytes) {
  if (!bytes) return "(unreadable)";
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char byte : *bytes) hash = (hash ^ byte) * 1099511628211ull;
  char text[64];
  std::snprintf(text, sizeof text, "%llu bytes, FNV-1a %016llx",
                static_cast<unsigned long long>(bytes->size()), static_cast<unsigned long long>(hash));
  return text;
}

std::string narrow(const std::wstring& text) {
  std::string ascii;
  for (wchar_t c : text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
  return ascii;
}

std::vector<std::wstring> files_in(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(entry.cFileName);
  while (FindNextFileW(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

class FullDiskTest : public FilterEndToEndTest {
 protected:
  void SetUp() override {
    FilterEndToEndTest::SetUp();
    root_ = test_support::full_disk_folder();
    if (root_.empty()) GTEST_SKIP() << "scripts/test.sh mounts a small file system for this";
  }
  void TearDown() override {
    FilterEndToEndTest::TearDown();
    if (root_.empty()) return;
    for (const wchar_t* folder : {L"", L"\\locked"})
      for (const wchar_t* name : {L"\\white.lis", L"\\black.lis"}) put_file_if_there(root_ + folder + name);
  }
  // Files of the locked folder cannot be deleted: they are emptied.
  static void put_file_if_there(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) put_file(path, "");
  }

  std::wstring root_;
};

TEST_F(FullDiskTest, ASaveThatDoesNotFitLeavesTheOldListByteForByte) {
  const std::string old_list = test_support::list_of_size(66000, 'o');
  const std::string new_list = test_support::list_of_size(132000, 'n');
  start_standin();
  for (const wchar_t* where : {L"", L"\\locked"}) {
    const std::wstring folder = root_ + where, black = folder + L"\\black.lis", white = folder + L"\\white.lis";
    SCOPED_TRACE(testing::PrintToString(folder));
    put_file(white, "w\r\n");
    put_file(black, old_list);
    ASSERT_TRUE(start_nimbrel(folder + L"\\nimbrel.exe"));
    ASSERT_TRUE(set_control_text(control(ids::Memo2), std::wstring(new_list.begin(), new_list.end())));
    {
      const test_support::DiskFiller filler(root_, 16 * 1024);
      const auto files = files_in(folder);
      ASSERT_TRUE(post_command(ids::Button1));
      const HWND box = nimbrel_->wait_for_message_box(20s);
      ASSERT_NE(box, nullptr) << "no message; black.lis now " << fingerprint(file_bytes(black))
                              << (IsWindowVisible(main_) ? "" : ", the window went to the tray");
      EXPECT_EQ(message_box_text(box), L"Cannot create file " + black + L".");
      const auto after = file_bytes(black);
      EXPECT_TRUE(after == old_list) << "the old list is gone: " << fingerprint(after);
      EXPECT_EQ(file_bytes(white), "w\r\n");
      EXPECT_EQ(files_in(folder), files) << "nothing of the save is left behind";
      std::printf("[ BYTES    ] full disk, %s: black.lis before %s, after %s\n", narrow(folder).c_str(),
                  fingerprint(old_list).c_str(), fingerprint(after).c_str());
      press_ok(box);
      EXPECT_TRUE(wait_until([&] { return !IsWindow(box); }, 5s));
    }
    ASSERT_TRUE(post_command(ids::Button1));  // with room again
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(main_); }, 20s)) << "the confirm went to its end";
    EXPECT_TRUE(file_bytes(black) == new_list) << fingerprint(file_bytes(black));
    nimbrel_.reset();
  }
}

}  // namespace
}  // namespace e2e
