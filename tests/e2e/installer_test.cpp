// The installer made by scripts/package.sh, round trip: a silent install puts the program,
// its uninstaller, a Start-menu shortcut and an Apps & features entry in place, and the
// installed program starts; a silent uninstall takes them away and keeps the user's data.
// A first install takes the recommended settings without overwriting the machine's own.
#include "../src/ui/control_ids.h"
#include "e2e/ui_driver.h"
#include "support/nimbrel_registry.h"
#include "support/remote_controls.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

namespace e2e {
namespace {

namespace ids = nimbrel::ids;
const wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nimbrel";
const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring known_folder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  SHGetKnownFolderPath(id, 0, nullptr, &path);
  const std::wstring text = path ? path : L"?";
  CoTaskMemFree(path);
  return text;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::optional<std::wstring> machine_value(const wchar_t* path, const wchar_t* name) {
  wchar_t text[1024] = {};
  DWORD size = sizeof(text);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, path, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return text;
}

// The four numbers of the version resource of the nimbrel.exe that was packed.
std::vector<int> file_version(const std::wstring& exe) {
  std::vector<BYTE> block(GetFileVersionInfoSizeW(exe.c_str(), nullptr) + 1);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT size = 0;
  if (!GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
      !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size))
    return {0, 0, 0, 0};
  return {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
          LOWORD(info->dwFileVersionLS)};
}

std::optional<DWORD> run(const std::wstring& program, const std::wstring& arguments) {
  STARTUPINFOW startup{};
  const auto process = standin::ChildProcess::start(program, arguments, startup, false);
  if (!process.wait_for_exit(120s)) return std::nullopt;
  return process.exit_code();
}

TEST(InstallerTest, SilentInstallStartsAndSilentUninstallRemovesAllButTheUsersData) {
  const auto v = file_version(standin::beside_this_program(L"nimbrel.exe"));
  const std::wstring three = std::to_wstring(v[0]) + L"." + std::to_wstring(v[1]) + L"." + std::to_wstring(v[2]);
  const std::wstring setup = standin::beside_this_program(L"..\\dist\\nimbrel-setup-" + three + L".exe");
  EXPECT_TRUE(exists(standin::beside_this_program(L"..\\dist\\nimbrel-" + three + L"-portable.zip")));
  const std::wstring folder = known_folder(FOLDERID_ProgramFiles) + L"\\Nimbrel\\";
  const std::wstring shortcut = known_folder(FOLDERID_CommonPrograms) + L"\\Nimbrel.lnk";
  delete_nimbrel_key();
  write_nimbrel_value(L"killpop", L"0");  // the machine's own choice
  ASSERT_EQ(run(setup, L"/S"), 0u) << "made by scripts/package.sh";
  EXPECT_EQ(read_nimbrel_value(L"killurl"), L"1") << "a silent install takes the recommended settings";
  EXPECT_EQ(read_nimbrel_value(L"killpop"), L"0") << "but never over a value the machine has";
  EXPECT_EQ(read_nimbrel_value(L"subscribelists"), L"1") << "the mark for the recommended lists";
  // The program started below would subscribe those public lists; this test reaches no network.
  delete_nimbrel_value(L"subscribelists");
  EXPECT_TRUE(exists(folder + L"nimbrel.exe") && exists(folder + L"uninstall.exe") && exists(shortcut));
  EXPECT_EQ(machine_value(kUninstall, L"DisplayVersion"), three + L"." + std::to_wstring(v[3]));
  EXPECT_EQ(machine_value(kUninstall, L"Publisher"), L"Nimbrel");
  EXPECT_EQ(machine_value(kUninstall, L"UninstallString"), L"\"" + folder + L"uninstall.exe\"");
  {
    NimbrelSession session;
    session.start(true, folder + L"nimbrel.exe");
    ASSERT_NE(session.main(), nullptr) << "the installed program shows its window";
    ASSERT_TRUE(set_control_text(session.control(ids::Memo1), L"kept.example"));
    ASSERT_TRUE(send_message(session.control(ids::CheckBox5), BM_SETCHECK, BST_CHECKED, 0));
    PostMessageW(session.main(), WM_COMMAND, IDOK, 0);  // confirm: lists, settings, Run value
    EXPECT_TRUE(wait_until([&] { return machine_value(kRun, L"Nimbrel").has_value(); }, 10s));
    session.nimbrel().close();
    ASSERT_TRUE(session.nimbrel().wait_for_exit());

    ASSERT_EQ(run(folder + L"uninstall.exe", L"/S"), 0u);
    // The uninstaller goes on from a copy of itself; the entry goes last.
    EXPECT_TRUE(wait_until([&] { return !machine_value(kUninstall, L"DisplayName"); }, 60s));
    EXPECT_FALSE(exists(folder + L"nimbrel.exe") || exists(folder + L"uninstall.exe") || exists(shortcut));
    EXPECT_EQ(machine_value(kRun, L"Nimbrel"), std::nullopt);
    EXPECT_TRUE(exists(folder + L"white.lis")) << "a silent uninstall keeps the lists";
    EXPECT_EQ(read_nimbrel_value(L"autostart"), L"1") << "and the settings";
  }
  for (const wchar_t* name : {L"white.lis", L"black.lis"}) DeleteFileW((folder + name).c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace e2e
