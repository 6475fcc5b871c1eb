// The filter-list window as the program builds it: its columns and check boxes, and what a
// row shows of its list.
#include "filter/filter_lists.h"
#include "ui/control_ids.h"
#include "ui/filter_list_form.h"
#include "ui/main_window_fixture.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace nimbrel::testing {
namespace {

std::wstring columnCaption(HWND view, int index) {
    wchar_t text[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 32;
    SendMessageW(view, LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    return text;
}

using FilterListFormTest = MainWindowTest;

TEST_F(FilterListFormTest, TheExceptionPageButtonOpensAWindowWithCheckBoxesAndFourColumns) {
    start();
    SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(ids::Button8, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form->control(ids::Button8)));
    ASSERT_NE(form->FilterListForm, nullptr);
    const HWND window = form->FilterListForm->hwnd();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    const HWND view = GetDlgItem(window, ids::filterlists::ListView1);
    EXPECT_TRUE(SendMessageW(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
    const std::vector<std::wstring> captions{columnCaption(view, 0), columnCaption(view, 1), columnCaption(view, 2),
                                             columnCaption(view, 3)};
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"名称", L"规则数", L"更新时间", L"状态"}));
}

// What a row shows of its list: no count and no time before a first update, the download
// over the state while it runs, the local time of the last update.
TEST(FilterListColumnsTest, ARowShowsItsRulesAndTimeOnceUpdatedAndItsDownloadWhileItRuns) {
    FilterListRow row{.name = L"EasyList", .source = L"https://easylist.to/easylist/easylist.txt"};
    row.status = L"无法连接";
    EXPECT_EQ(filterListColumns(row), (std::vector<std::wstring>{L"EasyList", L"", L"", L"无法连接"}));
    row.updating = true;
    EXPECT_EQ(filterListColumns(row)[3], L"正在更新...");
    row.rules = 51234;
    row.lastUpdate = 1765195200;  // 2025-12-08 12:00 UTC
    const std::vector<std::wstring> shown = filterListColumns(row);
    EXPECT_EQ(shown[1], L"51234");
    EXPECT_EQ(shown[2].size(), 16u) << "yyyy-mm-dd hh:mm";
    EXPECT_EQ(shown[2].substr(0, 8), L"2025-12-");
}

}  // namespace
}  // namespace nimbrel::testing
