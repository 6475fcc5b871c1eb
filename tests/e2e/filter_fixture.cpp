#include "e2e/filter_fixture.h"

#include "support/nimbrel_registry.h"
#include "support/wait.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
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
}

void FilterEndToEndTest::TearDown() {
  nimbrel_.reset();  // closes it, or kills it when it does not end in time
  standin_.reset();
  remove_list_files();
  delete_nimbrel_key();
}

void FilterEndToEndTest::set(const wchar_t* name, const wchar_t* value) { write_nimbrel_value(name, value); }

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

}  // namespace e2e
