#include "e2e/filter_fixture.h"

#include "e2e/screenshots.h"
#include "e2e/ui_driver.h"
#include "support/desktop_windows.h"
#include "support/nimbrel_registry.h"
#include "support/wait.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace e2e {

std::wstring list_path(const wchar_t* name) { return standin::beside_this_program(name); }

std::optional<std::string> file_bytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void put_file(const std::wstring& path, const std::string& bytes) {
  std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write a list file");
}

namespace {

void send_ctrl(DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_CONTROL;
  input.ki.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

}  // namespace

CtrlKeyHeld::CtrlKeyHeld() {
  down_ = true;  // a failed press is let go as well
  send_ctrl(0);
}

bool CtrlKeyHeld::seen_down() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

bool CtrlKeyHeld::steady(std::chrono::milliseconds settle, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  auto down_since = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() < deadline) {
    if (!seen_down()) {
      send_ctrl(0);
      down_since = std::chrono::steady_clock::now();
    } else if (std::chrono::steady_clock::now() - down_since >= settle) {
      return true;
    }
    Sleep(10);
  }
  return false;
}

void CtrlKeyHeld::release() {
  if (!down_) return;
  send_ctrl(KEYEVENTF_KEYUP);
  down_ = false;
}

// With what a save that never ended leaves beside them (new and old bytes), and the user's
// own copies, which a list the user may not write beside the program is saved to.
void FilterEndToEndTest::remove_list_files() {
  std::vector<std::wstring> paths{list_path(L"white.lis"), list_path(L"black.lis")};
  PWSTR local = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local)))
    for (const wchar_t* name : {L"\\Nimbrel\\white.lis", L"\\Nimbrel\\black.lis"})
      paths.push_back(local + std::wstring(name));
  CoTaskMemFree(local);
  for (const wchar_t* pattern : {L"lis????.tmp", L"lis????.bak"}) {
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(list_path(pattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) continue;
    do paths.push_back(list_path(entry.cFileName));
    while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  for (const std::wstring& path : paths) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}

void FilterEndToEndTest::SetUp() {
  remove_shell_windows_redirect();
  delete_nimbrel_key();
  remove_list_files();
  forget_user_state();
}

void FilterEndToEndTest::TearDown() {
  nimbrel_.reset();  // closes it, or kills it when it does not end in time
  standin_.reset();
  remove_list_files();
  delete_nimbrel_key();
  forget_user_state();
}

void FilterEndToEndTest::set(const wchar_t* name, const wchar_t* value) { write_nimbrel_value(name, value); }

namespace {
constexpr const wchar_t* kListsKey = L"Software\\Nimbrel\\FilterLists";

std::wstring copies_folder() {
  PWSTR known = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)))
    folder = std::wstring(known) + L"\\Nimbrel\\filters\\";
  CoTaskMemFree(known);
  return folder;
}
}  // namespace

void FilterEndToEndTest::store_filter_list(const std::wstring& key, const std::wstring& source,
                                           const std::string& copy) {
  const std::wstring path = std::wstring(kListsKey) + L"\\" + key;
  const auto value = [&](const wchar_t* name, const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  };
  value(L"name", L"Stored");
  value(L"source", source);
  value(L"enabled", L"1");
  value(L"status", L"已更新");
  value(L"nextcheck", std::to_wstring(std::time(nullptr) + 86400));
  std::filesystem::create_directories(std::filesystem::path(copies_folder()));
  put_file(copies_folder() + key + L".txt", copy);
}

void FilterEndToEndTest::forget_user_state() {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Nimbrel");
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(copies_folder()), ignored);
}

standin::StandinProcess& FilterEndToEndTest::start_standin(const std::string& options) {
  standin_ = std::make_unique<standin::StandinProcess>(options);
  return *standin_;
}

bool FilterEndToEndTest::start_nimbrel(const std::wstring& exe) {
  nimbrel_ = std::make_unique<NimbrelProcess>(exe);
  main_ = nimbrel_->wait_for_main_window();
  return main_ != nullptr && control(ids::ListView1) != nullptr;
}

int FilterEndToEndTest::rows_with(const std::wstring& address) const {
  const auto addresses = logged();
  return static_cast<int>(std::count(addresses.begin(), addresses.end(), address));
}

bool FilterEndToEndTest::wait_for_rows(int count) const {
  return wait_until([&] { return log().row_count() >= count; }, 10s);
}

std::string FilterEndToEndTest::fire_navigation(int index, const std::string& url) {
  return standin_->command("before-navigate " + std::to_string(index) + " " + url);
}

std::string FilterEndToEndTest::fire_new_window(int index) {
  return standin_->command("new-window " + std::to_string(index));
}

int FilterEndToEndTest::quits(int index) { return standin_->number("quits " + std::to_string(index)); }

bool FilterEndToEndTest::command(int id) const {
  return send_message(main_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0).has_value();
}

bool FilterEndToEndTest::post_command(int id) const {
  return PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(control(id))) != FALSE;
}

HWND FilterEndToEndTest::open_menu() const {
  const HWND menu = find_top_level_window(nimbrel_->id(), L"#32768");
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

void FilterEndToEndTest::press(WPARAM key) const {
  PostMessageW(main_, WM_KEYDOWN, key, 0);
  PostMessageW(main_, WM_KEYUP, key, 0xC0000000);
  Sleep(100);
}

void FilterEndToEndTest::choose_for_row(int row, int presses, const wchar_t* screenshot, WPARAM key) const {
  ASSERT_TRUE(command(ids::V1));  // the log page in front
  const RemoteListView view = log();
  ASSERT_TRUE(view.select(row));
  const RECT box = view.row_rect(row).value_or(RECT{});
  POINT at{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  ClientToScreen(view.hwnd(), &at);
  PostMessageW(view.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view.hwnd()), MAKELPARAM(at.x, at.y));
  ASSERT_TRUE(wait_until([&] { return open_menu() != nullptr; }, 10s)) << "no menu";
  Sleep(200);  // drawn
  if (screenshot) {
    EXPECT_TRUE(keep_screenshot(screen_rect(open_menu()), screenshot));
  }
  for (int i = 0; i < presses; ++i) press(key);
  press(VK_RETURN);
  ASSERT_TRUE(wait_until([&] { return open_menu() == nullptr; }, 10s)) << "the menu stayed";
}

}  // namespace e2e
