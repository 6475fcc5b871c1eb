// A measured import under Wine (not a test): asks a running nimbrel.exe to import a list into
// its black-list box through the box's menu and the file dialog, as a user would, and prints
// how long the user waits from the dialog's OK to the program's report.
//
//   import_run.exe FILE
#include "ui/control_ids.h"

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr wchar_t kTitle[] = L"Quellix (Nimbrel)";

template <typename Found>
auto waitFor(Found found, int seconds) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        if (auto value = found(); value || Clock::now() > end) return value;
        Sleep(5);
    }
}

HWND childWithId(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND visible(HWND window) { return window && IsWindowVisible(window) ? window : nullptr; }

void press(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 0);
    PostMessageW(window, WM_KEYUP, key, 0xC0000000);
    Sleep(100);
}

int fail(const char* what) {
    std::printf("import run: %s\n", what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return fail("usage: import_run.exe FILE");
    const HWND main = waitFor([] { return visible(FindWindowW(nullptr, kTitle)); }, 120);
    const HWND memo = main ? childWithId(main, nimbrel::ids::Memo2) : nullptr;
    if (!memo) return fail("no main window with a black-list box");
    const auto linesBefore = SendMessageW(memo, EM_GETLINECOUNT, 0, 0);
    // The menu key's menu; its last entry is the import.
    PostMessageW(memo, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(memo), MAKELPARAM(-1, -1));
    if (!waitFor([] { return visible(FindWindowW(L"#32768", nullptr)); }, 20)) return fail("no menu");
    Sleep(200);
    press(main, VK_UP);
    press(main, VK_RETURN);
    const HWND dialog = waitFor([] { return visible(FindWindowW(L"#32770", L"导入广告服务器列表")); }, 20);
    if (!dialog) return fail("no file dialog");
    const auto name = reinterpret_cast<HWND>(SendMessageW(GetDlgItem(dialog, 0x47C), CBEM_GETEDITCONTROL, 0, 0));
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
    const auto start = Clock::now();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    const HWND report = waitFor([] { return visible(FindWindowW(L"#32770", kTitle)); }, 300);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!report) return fail("no report within 300 s");
    wchar_t text[512] = {};
    GetDlgItemTextW(report, 0xFFFF, text, 512);
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    PostMessageW(report, WM_COMMAND, IDOK, 0);
    const auto linesAfter = SendMessageW(memo, EM_GETLINECOUNT, 0, 0);
    char report8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, report8, sizeof(report8), nullptr, nullptr);
    std::printf("import: %.2f s from the dialog's OK to the report; box lines %ld -> %ld; report: %s\n", seconds,
                static_cast<long>(linesBefore), static_cast<long>(linesAfter), report8);
    return 0;
}
