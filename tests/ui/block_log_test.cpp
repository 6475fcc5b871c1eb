// The block log on the log page: its rows and the addresses behind them stay one to one,
// and the export writes the addresses as the log keeps them, safe to open in a spreadsheet.
#include "filter/list_file_fixture.h"
#include "ui/control_ids.h"
#include "ui/file_dialog_answerer.h"
#include "ui/main_window_fixture.h"

#include <commctrl.h>

namespace nimbrel::testing {
namespace {

// A list view that refuses new rows while told to, as one short of memory does.
LRESULT CALLBACK refuseRows(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR refusing) {
    if (message == LVM_INSERTITEMW && *reinterpret_cast<const bool*>(refusing)) return -1;
    return DefSubclassProc(window, message, wParam, lParam);
}

class BlockLogTest : public MainWindowTest {
protected:
    HWND view() { return form->control(ids::ListView1); }
    int rows() { return static_cast<int>(SendMessageW(view(), LVM_GETITEMCOUNT, 0, 0)); }
    void select(int row) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageW(view(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    std::string cell(int row, int column) {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(view(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return std::string(text, text + wcslen(text));  // time stamps are ASCII
    }
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
    form->tracklog(withNul, {});
    form->tracklog("=HYPERLINK(\"http://b.test\",\"ok\")", {});
    form->tracklog("-2+3", {});
    ASSERT_EQ(rows(), 3);
    select(0);
    const std::wstring out = listFilePath(L"block-log-export.csv");
    DeleteFileW(out.c_str());
    {
        const FileDialogAnswerer dialog(L"导出日志", out);
        form->ExportLog1Click();
        EXPECT_TRUE(dialog.answered());
    }
    const std::string expected = "\xEF\xBB\xBF时间,地址\r\n" + cell(0, 0) + ",\"" + withNul + "\"\r\n" + cell(1, 0) +
                                 ",\"'=HYPERLINK(\"\"http://b.test\"\",\"\"ok\"\")\"\r\n" + cell(2, 0) +
                                 ",\"'-2+3\"\r\n";
    EXPECT_EQ(fileBytes(out), expected);
    DeleteFileW(out.c_str());
}

}  // namespace
}  // namespace nimbrel::testing
