// nimbrel.exe as a standard user meets it: a program folder it may not add to (made so by
// scripts/test.sh with the immutable flag, which stops even root), holding a shared
// black.lis that the administrator let users write, and machine-wide keys it may only
// read. Settings, lists and the Run value are still saved where they can be, and read back.
#include "e2e/filter_fixture.h"
#include "support/desktop_windows.h"
#include "support/nimbrel_registry.h"
#include "support/read_only_key.h"
#include "support/wait.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

namespace e2e {
namespace {

const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kUserKey[] = L"Software\\Nimbrel";
const wchar_t kMachineKey[] = L"SOFTWARE\\Nimbrel";

std::optional<std::wstring> value(HKEY root, const wchar_t* path, const wchar_t* name) {
  wchar_t text[1024] = {};
  DWORD size = sizeof(text);
  if (RegGetValueW(root, path, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return std::nullopt;
  return text;
}

std::wstring user_list(const wchar_t* name) {
  PWSTR folder = nullptr;
  SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder);
  const std::wstring path = std::wstring(folder ? folder : L"?") + L"\\Nimbrel\\" + name;
  CoTaskMemFree(folder);
  return path;
}

class StandardUserTest : public FilterEndToEndTest {
 protected:
  void SetUp() override { FilterEndToEndTest::SetUp(), forget_the_user(); }
  void TearDown() override { FilterEndToEndTest::TearDown(), forget_the_user(); }
  static void forget_the_user() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kUserKey);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"Nimbrel");
    for (const wchar_t* name : {L"white.lis", L"black.lis"}) DeleteFileW(user_list(name).c_str());
  }
  // Confirms; the window must go to the tray without a message.
  void confirm(bool autostart) const {
    ASSERT_TRUE(send_message(control(ids::CheckBox5), BM_SETCHECK, autostart ? BST_CHECKED : BST_UNCHECKED, 0));
    ASSERT_TRUE(post_command(ids::Button1));
    wait_until([&] { return !IsWindowVisible(main_) || nimbrel_->wait_for_message_box(0ms); }, 10s);
    if (const HWND box = nimbrel_->wait_for_message_box(0ms)) FAIL() << testing::PrintToString(message_box_text(box));
  }
};

TEST_F(StandardUserTest, SettingsListsAndTheRunValueAreKeptForTheUserWhenTheMachineRefusesThem) {
  const char* locked = std::getenv("NIMBREL_LOCKED_FOLDER");
  if (!locked) GTEST_SKIP() << "scripts/test.sh provides a program folder nobody may write";
  const std::wstring folder(locked, locked + strlen(locked)), exe = folder + L"\\nimbrel.exe";
  ASSERT_ANY_THROW(put_file(folder + L"\\probe.tmp", "x")) << "the program folder must refuse new files";
  write_nimbrel_value(L"killlevel", L"3");  // machine-wide values are still read
  const test_support::ReadOnlyKey settings(HKEY_LOCAL_MACHINE, kMachineKey), run(HKEY_LOCAL_MACHINE, kRun);
  ASSERT_TRUE(settings.enforced() && run.enforced());

  start_standin();
  ASSERT_TRUE(start_nimbrel(exe));
  EXPECT_EQ(nimbrel_->wait_for_message_box(2s), nullptr) << "no start-up failure";
  EXPECT_EQ(send_message(control(ids::SensitivityComboBox), CB_GETCURSEL, 0, 0), 3);
  ASSERT_TRUE(set_control_text(control(ids::Memo1), L"white.example"));
  EXPECT_EQ(control_text(control(ids::Memo2)), L"shared.example\r\n") << "the shared list beside the program";
  ASSERT_TRUE(set_control_text(control(ids::Memo2), L"shared.example\r\nmore.example"));
  ASSERT_TRUE(send_message(control(ids::SensitivityComboBox), CB_SETCURSEL, 4, 0));
  ASSERT_NO_FATAL_FAILURE(confirm(true));
  EXPECT_EQ(file_bytes(user_list(L"white.lis")), "white.example");
  EXPECT_EQ(file_bytes(folder + L"\\black.lis"), "shared.example\r\nmore.example")
      << "a shared list the user may write is kept where it is";
  EXPECT_EQ(file_bytes(user_list(L"black.lis")), std::nullopt);
  EXPECT_EQ(value(HKEY_CURRENT_USER, kUserKey, L"killlevel"), L"4");
  EXPECT_EQ(value(HKEY_LOCAL_MACHINE, kMachineKey, L"killlevel"), L"3") << "the machine-wide value stays";
  EXPECT_EQ(value(HKEY_CURRENT_USER, kUserKey, L"istarnwickrunning"), L"1");
  EXPECT_EQ(value(HKEY_LOCAL_MACHINE, kMachineKey, L"autostart"), std::nullopt) << "nothing machine-wide";
  EXPECT_EQ(value(HKEY_CURRENT_USER, kRun, L"Nimbrel"), L"\"" + exe + L"\"");
  EXPECT_EQ(value(HKEY_LOCAL_MACHINE, kRun, L"Nimbrel"), std::nullopt);

  nimbrel_.reset();  // closed
  EXPECT_EQ(value(HKEY_CURRENT_USER, kUserKey, L"istarnwickrunning"), L"0");
  ASSERT_TRUE(start_nimbrel(exe));
  EXPECT_EQ(control_text(control(ids::Memo1)), L"white.example") << "the user's copies are read back";
  EXPECT_EQ(control_text(control(ids::Memo2)), L"shared.example\r\nmore.example");
  EXPECT_EQ(send_message(control(ids::CheckBox5), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(send_message(control(ids::SensitivityComboBox), CB_GETCURSEL, 0, 0), 4) << "the user's value wins";
  ASSERT_NO_FATAL_FAILURE(confirm(false));
  EXPECT_EQ(value(HKEY_CURRENT_USER, kRun, L"Nimbrel"), std::nullopt) << "unticked: the entry is gone";
}

}  // namespace
}  // namespace e2e
