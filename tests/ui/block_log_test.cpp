// The block log on the log page: its rows and the addresses behind them stay one to one,
// each row says what removed it, the export writes the addresses as the log keeps them, safe
// to open in a spreadsheet, the row menu acts on the row's site and reason, and the line
// above the list counts the removals of the run, of today and of all time.
#include "app/block_counts_store.h"
#include "filter/list_file_fixture.h"
#include "support/clipboard.h"
#include "support/read_only_key.h"
#include "ui/control_ids.h"
#include "ui/file_dialog_answerer.h"
#include "ui/main_window_fixture.h"

#include <commctrl.h>

#include <cstdio>

namespace nimbrel::testing {
namespace {

// A list view that refuses new rows while told to, as one short of memory does.
LRESULT CALLBACK refuseRows(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR refusing) {
    if (message == LVM_INSERTITEMW && *reinterpret_cast<const bool*>(refusing)) return -1;
    return DefSubclassProc(window, message, wParam, lParam);
}

using Source = BlockReason::Source;

// One entry of a menu as it showed: its caption ("-" for a separator) and whether it was greyed.
struct Entry {
    std::wstring caption;
    bool greyed = false;
    bool operator==(const Entry&) const = default;
};
void PrintTo(const Entry& entry, std::ostream* out) {
    *out << ::testing::PrintToString(entry.caption) << (entry.greyed ? " (greyed)" : "");
}

// Reads the first pop-up menu that this process shows, from another thread while the menu is
// open, then closes it with Esc, which reaches a menu through the thread that tracks it.
class MenuReader {
public:
    explicit MenuReader(HWND owner) : thread_([this, owner] { run(owner); }) {}
    ~MenuReader() { finish(); }
    // What the menu held once it has closed; nothing if none showed.
    std::vector<Entry> entries() {
        finish();
        return entries_;
    }

private:
    void finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    void run(HWND owner) {
        for (; !stop_; Sleep(10))
            for (HWND menu = nullptr; (menu = FindWindowExW(nullptr, menu, L"#32768", nullptr));) {
                DWORD process = 0;
                GetWindowThreadProcessId(menu, &process);
                if (process != GetCurrentProcessId() || !IsWindowVisible(menu)) continue;
                const auto handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                for (int i = 0; i < GetMenuItemCount(handle); ++i) {
                    const UINT state = GetMenuState(handle, static_cast<UINT>(i), MF_BYPOSITION);
                    wchar_t caption[128] = {};
                    GetMenuStringW(handle, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
                    entries_.push_back(state & MF_SEPARATOR ? Entry{L"-"} : Entry{caption, (state & MF_GRAYED) != 0});
                }
                PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
                return;
            }
    }
    std::atomic<bool> stop_{false};
    std::vector<Entry> entries_;
    std::thread thread_;  // last: it starts when the rest is ready
};

std::wstring todayText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t text[16] = {};
    swprintf(text, 16, L"%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

class BlockLogTest : public MainWindowTest {
protected:
    HWND view() { return form->control(ids::ListView1); }
    int rows() { return static_cast<int>(SendMessageW(view(), LVM_GETITEMCOUNT, 0, 0)); }
    void select(int row) {
        const LVITEMW state{.state = LVIS_SELECTED, .stateMask = LVIS_SELECTED};
        SendMessageW(view(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    std::string cell(int row, int column) {
        const std::wstring text = logCell(row, column);
        return std::string(text.begin(), text.end());  // time stamps are ASCII
    }
    // The row's menu as it shows for that row (none selected for -1).
    std::vector<Entry> rowMenu(int row) {
        SendMessageW(view(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&kUnselected));
        if (row >= 0) select(row);
        MenuReader reader(form->hwnd());
        form->ListView1ContextPopup({100, 100});
        return reader.entries();
    }
    // The text selected in a list box.
    std::wstring selectedText(int id) {
        DWORD start = 0, end = 0;
        SendMessageW(form->control(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const std::wstring all = text(id);
        return start <= end && end <= all.size() ? all.substr(start, end - start) : L"(bad selection)";
    }
    std::wstring countsLine() { return text(ids::Label18); }
    // Whether the label's text fits on its one line, in the label's font.
    bool fitsOnItsLine(int id) {
        HWND label = form->control(id);
        HDC dc = GetDC(label);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        const std::wstring shown = text(id);
        SIZE size{};
        GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        RECT box{};
        GetClientRect(label, &box);
        return size.cx <= box.right && size.cy <= box.bottom;
    }
    static std::wstring stored(const wchar_t* name) { return storedText(kUserSettingsKey, name, HKEY_CURRENT_USER); }
    static void storeCounts(const std::wstring& date, const std::wstring& today, const std::wstring& total) {
        ASSERT_TRUE(saveBlockCounts({date, today, total}));
    }

    static inline const LVITEMW kUnselected{.stateMask = LVIS_SELECTED};
    const BlockReason blackLine2{.source = Source::blackList, .line = 1, .entry = "//BLACK.TEST/"};
    const BlockReason hostEntry{.source = Source::hostTable, .entry = "doubleclick"};
    const BlockReason listRule{.source = Source::filterList, .entry = "||metrics.example.com^", .listName = L"EasyPrivacy"};
    const BlockReason noToolBar{.popup = true};
};

// A row the view refused must take its address with it: else every later row sends the
// address of the row before it to the white list.
TEST_F(BlockLogTest, ARowTheViewRefusedLeavesNoAddressBehind) {
    start();
    bool refusing = false;
    ASSERT_TRUE(SetWindowSubclass(view(), refuseRows, 1, reinterpret_cast<DWORD_PTR>(&refusing)));
    form->tracklog("http://first.test/", {});
    refusing = true;
    form->tracklog("http://refused.test/", {});
    refusing = false;
    form->tracklog("http://third.test/", {});
    RemoveWindowSubclass(view(), refuseRows, 1);
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(cell(1, 1), "http://third.test/");
    select(1);
    form->ListView1DblClick();
    EXPECT_EQ(text(ids::Memo1), L"http://third.test/\r\n");
}

// The list view shows an address up to a NUL; the file gets it whole, as "复制地址" does.
// A field that a spreadsheet would run as a formula starts with an apostrophe.
TEST_F(BlockLogTest, TheExportWritesEveryAddressAsKeptAndNoneAsAFormula) {
    start();
    const std::string withNul("http://a.test/x\0tail", 20);
    form->tracklog(withNul, hostEntry);
    form->tracklog("=HYPERLINK(\"http://b.test\",\"ok\")", listRule);
    form->tracklog("-2+3", {.source = Source::wordTable, .entry = "\xB9\xE3\xB8\xE6,\"x\""});  // 广告,"x"
    ASSERT_EQ(rows(), 3);
    select(0);
    const std::wstring out = listFilePath(L"block-log-export.csv");
    DeleteFileW(out.c_str());
    {
        const FileDialogAnswerer dialog(L"导出日志", out);
        form->ExportLog1Click();
        EXPECT_TRUE(dialog.answered());
    }
    const std::string expected = "\xEF\xBB\xBF时间,地址,原因\r\n" + cell(0, 0) + ",\"" + withNul +
                                 "\",广告主机表: doubleclick\r\n" + cell(1, 0) +
                                 ",\"'=HYPERLINK(\"\"http://b.test\"\",\"\"ok\"\")\",过滤列表 EasyPrivacy: ||metrics.example.com^\r\n" +
                                 cell(2, 0) + ",\"'-2+3\",\"广告字词表: 广告,\"\"x\"\"\"\r\n";
    EXPECT_EQ(fileBytes(out), expected);
    DeleteFileW(out.c_str());
}

// The third column, "原因", 200 pixels at 96 DPI, names what removed each row.
TEST_F(BlockLogTest, TheReasonColumnSaysWhatRemovedEachRow) {
    start();
    const std::pair<BlockReason, const wchar_t*> rows[] = {
        {blackLine2, L"黑名单第 2 行: //BLACK.TEST/"},
        {hostEntry, L"广告主机表: doubleclick"},
        {listRule, L"过滤列表 EasyPrivacy: ||metrics.example.com^"},
        {{.source = Source::pathTable, .entry = "/ads/"}, L"广告路径表: /ads/"},
        {{.source = Source::wordTable, .entry = "\xB9\xE3\xB8\xE6"}, L"广告字词表: 广告"},  // GB2312
        {noToolBar, L"弹出窗口: 无工具栏"},
        {{.source = Source::blackList, .popup = true, .line = 0, .entry = "pop"}, L"弹出窗口: 黑名单第 1 行: pop"},
    };
    for (const auto& [reason, shown] : rows) form->tracklog("http://x.test/", reason);
    wchar_t header[16] = {};
    LVCOLUMNW column{.mask = LVCF_TEXT | LVCF_WIDTH, .pszText = header, .cchTextMax = 16};
    ASSERT_TRUE(SendMessageW(view(), LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(std::wstring(header), L"原因");
    const Scaler scale;
    EXPECT_EQ(column.cx, scale(200));
    EXPECT_FALSE(SendMessageW(view(), LVM_GETCOLUMNW, 3, reinterpret_cast<LPARAM>(&column))) << "three columns";
    for (int row = 0; row < static_cast<int>(std::size(rows)); ++row) EXPECT_EQ(logCell(row, 2), rows[row].second);
}

// "允许此网站" adds the row's site to the white list once and shows that line; a row that the
// black list removed names the line that wins instead and can show it; "复制原因" copies the
// reason as the column shows it.
TEST_F(BlockLogTest, TheRowMenuLetsTheSiteThroughOrShowsTheBlackLineThatWins) {
    start();
    SetWindowTextW(form->control(ids::Memo1), L"first\r\n//ads.example.com/");
    SetWindowTextW(form->control(ids::Memo2), L"mine\r\n//BLACK.TEST/");
    form->tracklog("http://cdn.metrics.example.com:8080/y.png", listRule);
    form->tracklog("http://ADS.example.com/x.js", hostEntry);
    form->tracklog("http://black.test/a", blackLine2);
    form->tracklog(" ", noToolBar);  // "Popup ad": no site to allow
    const auto menu = [](const wchar_t* allow, bool allowGreyed, bool showGreyed, bool copyGreyed) {
        return std::vector<Entry>{{L"复制地址", copyGreyed},       {L"-", false},
                                  {L"放行一次", copyGreyed},       {allow, allowGreyed},
                                  {L"显示黑名单行", showGreyed}, {L"复制原因", copyGreyed},
                                  {L"-", false},                   {L"导出...", false}};
    };
    EXPECT_EQ(rowMenu(0), menu(L"允许此网站", false, true, false));
    EXPECT_EQ(rowMenu(2), menu(L"允许此网站 (黑名单第 2 行优先)", true, false, false));
    EXPECT_EQ(rowMenu(3), menu(L"允许此网站", true, true, false));
    EXPECT_EQ(rowMenu(-1), menu(L"允许此网站", true, true, true));

    select(0);
    form->AllowSite1Click();
    const std::wstring allowed = L"first\r\n//ads.example.com/\r\n//CDN.METRICS.EXAMPLE.COM:8080/";
    EXPECT_EQ(text(ids::Memo1), allowed);
    EXPECT_EQ(form->curpage, 2);
    EXPECT_TRUE(GetWindowLongW(form->control(ids::ExceptionPanel), GWL_STYLE) & WS_VISIBLE) << "in front";
    EXPECT_EQ(selectedText(ids::Memo1), L"//CDN.METRICS.EXAMPLE.COM:8080/");
    form->AllowSite1Click();
    EXPECT_EQ(text(ids::Memo1), allowed) << "never twice";
    select(1);
    form->AllowSite1Click();
    EXPECT_EQ(text(ids::Memo1), allowed) << "the box holds the line already, in other letters";
    EXPECT_EQ(selectedText(ids::Memo1), L"//ads.example.com/");
    select(2);
    form->AllowSite1Click();
    EXPECT_EQ(text(ids::Memo1), allowed) << "the black list would win anyway";

    form->Image11Click(3);
    SetWindowTextW(form->control(ids::Memo2), L"new\r\nmine\r\n//BLACK.TEST/\r\nlast");
    form->ShowBlackLine1Click();
    EXPECT_EQ(form->curpage, 2);
    EXPECT_EQ(selectedText(ids::Memo2), L"//BLACK.TEST/") << "found where it stands now";
    form->CopyReason1Click();
    EXPECT_EQ(test_support::clipboard_text(), L"黑名单第 2 行: //BLACK.TEST/");
    select(3);
    form->CopyReason1Click();
    EXPECT_EQ(test_support::clipboard_text(), L"弹出窗口: 无工具栏");
}

// The counts go on from what the user's key kept today, count only rows that were logged,
// stay when the log is cleared, and survive a restart; a key that refuses them costs nothing.
TEST_F(BlockLogTest, TheCountsLineCountsTheRunTodayAndAllTimeAcrossARestart) {
    storeCounts(todayText(), L"4", L"10");
    start();
    EXPECT_EQ(countsLine(), L"本次已清除 0 个, 今天 4 个, 总计 10 个");
    form->tracklog("http://a.test/", hostEntry);
    form->tracklog("http://a.test/adremoved.gif", hostEntry);  // never logged, never counted
    form->tracklog("http://b.test/", listRule);
    form->Button3Click();
    EXPECT_EQ(countsLine(), L"本次已清除 2 个, 今天 6 个, 总计 12 个") << "clearing the rows keeps the counts";
    EXPECT_EQ(stored(kCountTodayValue), L"6");
    EXPECT_EQ(stored(kCountTotalValue), L"12");
    EXPECT_EQ(stored(kCountDateValue), todayText());

    form.reset();
    start();
    EXPECT_EQ(countsLine(), L"本次已清除 0 个, 今天 6 个, 总计 12 个");

    form.reset();
    storeCounts(L"20000101", L"6", L"12");
    start();
    EXPECT_EQ(countsLine(), L"本次已清除 0 个, 今天 0 个, 总计 12 个") << "stored on another day";
    {
        const test_support::ReadOnlyKey refusing(HKEY_CURRENT_USER, kUserSettingsKey);
        ASSERT_TRUE(refusing.enforced());
        form->tracklog("http://c.test/", hostEntry);
        EXPECT_EQ(rows(), 1);
        EXPECT_EQ(countsLine(), L"本次已清除 1 个, 今天 1 个, 总计 13 个");
        EXPECT_EQ(stored(kCountTotalValue), L"12");
    }

    form.reset();
    storeCounts(todayText(), L"99999", L"9999999");
    start();
    EXPECT_EQ(countsLine(), L"本次已清除 0 个, 今天 99999 个, 总计 9999999 个");
    EXPECT_TRUE(fitsOnItsLine(ids::Label18));
    EXPECT_TRUE(fitsOnItsLine(ids::Label15)) << "the line above keeps to its one line";
}

}  // namespace
}  // namespace nimbrel::testing
