#include "ui/filter_list_form.h"

#include "core/messages.h"
#include "filter/filter_lists.h"
#include "platform/error.h"
#include "ui/control_ids.h"
#include "ui/filter_list_add_form.h"
#include "ui/messages_box.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <utility>

namespace nimbrel {
namespace {

namespace id = ids::filterlists;

constexpr int kClientWidth = 500;
constexpr int kClientHeight = 290;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

constexpr const wchar_t* kUpdating = L"正在更新...";
constexpr std::wstring_view kAskRemoveOne = L"删除过滤列表 \"%s\" 和它的本地副本?";
constexpr std::wstring_view kAskRemoveMany = L"删除选中的 %s 个过滤列表和它们的本地副本?";

struct Column {
    const wchar_t* caption;
    int width;
    int format;
};
constexpr Column kColumns[] = {
    {L"名称", 160, LVCFMT_LEFT},
    {L"规则数", 64, LVCFMT_RIGHT},
    {L"更新时间", 120, LVCFMT_LEFT},
    {L"状态", 116, LVCFMT_LEFT},
};

// Set for its own life, so that what happens meanwhile is known as ours.
class SetWhile {
public:
    explicit SetWhile(bool& flag) : flag_(flag) { flag_ = true; }
    ~SetWhile() { flag_ = false; }
    SetWhile(const SetWhile&) = delete;
    SetWhile& operator=(const SetWhile&) = delete;

private:
    bool& flag_;
};

void setCell(HWND view, int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(view, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

std::wstring localUpdateTime(std::int64_t unixSeconds) {
    // FILETIME counts 100 ns steps from 1601; the Unix epoch is 11,644,473,600 s later.
    const auto ticks = static_cast<ULONGLONG>(unixSeconds + 11644473600LL) * 10000000ULL;
    const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal{}, local{};
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return {};
    wchar_t text[32] = {};
    std::swprintf(text, std::size(text), L"%04u-%02u-%02u %02u:%02u", local.wYear, local.wMonth, local.wDay,
                  local.wHour, local.wMinute);
    return text;
}

std::vector<std::wstring> filterListColumns(const FilterListRow& row) {
    const bool updated = row.lastUpdate.has_value();
    return {
        row.name,
        updated ? std::to_wstring(row.rules) : L"",
        updated ? localUpdateTime(*row.lastUpdate) : L"",
        row.updating ? kUpdating : row.status,
    };
}

TFilterListForm::TFilterListForm(FilterListManager& lists) : lists_(lists) {
    registerClass(kClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE));
}

TFilterListForm::~TFilterListForm() { destroy(); }

void TFilterListForm::open(HWND owner) {
    if (!hwnd()) {
        createCentred(kExStyle, kClassName, L"过滤列表", kStyle, scale_(kClientWidth), scale_(kClientHeight), owner);
        if (!hwnd()) throw Error(L"Cannot create the window");
        // The program's icon, as the owner shows it.
        for (const auto& [size, icon] : {std::pair{ICON_SMALL, GCLP_HICONSM}, std::pair{ICON_BIG, GCLP_HICON}})
            SendMessageW(hwnd(), WM_SETICON, size, static_cast<LPARAM>(GetClassLongPtrW(owner, icon)));
    }
    rowsChanged();
    ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd());
}

void TFilterListForm::FormCreate() {
    createControls();
    FlatLook1.Font = createSongFont(scale_, 12);
    FlatLook1.attach(hwnd(), {});
    FlatLook1.setActive(true);
}

void TFilterListForm::createControls() {
    font_ = createSongFont(scale_, 12);
    const HWND self = hwnd();
    const HWND view = createControl(self, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP,
                                    {8, 8, 484, 232}, id::ListView1, font_.get(), scale_, WS_EX_CLIENTEDGE);
    constexpr DWORD kExtended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, kExtended, kExtended);
    for (int index = 0; index < static_cast<int>(std::size(kColumns)); ++index) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
        column.fmt = kColumns[index].format;
        column.pszText = const_cast<wchar_t*>(kColumns[index].caption);
        column.cx = scale_(kColumns[index].width);
        column.iSubItem = index;
        SendMessageW(view, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    }
    Panel1_.create(self, {8, 248, 484, 2}, scale_, Panel::Bevel::lowered, GetSysColor(COLOR_BTNFACE), id::Panel1);
    struct Button {
        int id;
        const wchar_t* caption;
        int left;
    };
    constexpr Button kButtons[] = {
        {id::Button1, L"添加...", 8}, {id::Button2, L"删除", 89}, {id::Button3, L"立即更新", 170},
        {id::Button4, L"关闭", 417}};
    for (const Button& button : kButtons)
        createControl(self, WC_BUTTONW, button.caption, BS_PUSHBUTTON | WS_TABSTOP, {button.left, 257, 75, 25},
                      button.id, font_.get(), scale_);
}

HWND TFilterListForm::listView() const { return GetDlgItem(hwnd(), id::ListView1); }

// Rows keep their places and selection; only their texts and boxes are set anew.
void TFilterListForm::rowsChanged() {
    if (!hwnd()) return;
    const std::vector<FilterListRow> rows = lists_.rows();
    const HWND view = listView();
    {
        const SetWhile showing(showingRows_);
        auto count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
        while (count > static_cast<int>(rows.size())) SendMessageW(view, LVM_DELETEITEM, --count, 0);
        for (; count < static_cast<int>(rows.size()); ++count) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = count;
            item.pszText = const_cast<wchar_t*>(L"");
            SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            const std::vector<std::wstring> cells = filterListColumns(rows[static_cast<size_t>(row)]);
            for (int column = 0; column < static_cast<int>(cells.size()); ++column)
                setCell(view, row, column, cells[static_cast<size_t>(column)]);
            ListView_SetCheckState(view, row, rows[static_cast<size_t>(row)].enabled);
        }
    }
    ListView1SelectionChange();
}

std::vector<std::size_t> TFilterListForm::selectedRows() const {
    std::vector<std::size_t> rows;
    const HWND view = listView();
    for (int row = -1; (row = static_cast<int>(SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                                LVNI_SELECTED))) >= 0;)
        rows.push_back(static_cast<std::size_t>(row));
    return rows;
}

void TFilterListForm::ListView1ItemChecked(std::size_t row, bool checked) { lists_.setEnabled(row, checked); }

void TFilterListForm::ListView1SelectionChange() {
    EnableWindow(GetDlgItem(hwnd(), id::Button2), !selectedRows().empty());
}

void TFilterListForm::Button1Click() {
    TAddFilterListForm dialog(lists_);
    if (dialog.ShowModal(hwnd())) rowsChanged();
}

void TFilterListForm::Button2Click() {
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty()) return;
    const std::vector<FilterListRow> all = lists_.rows();
    const std::wstring question =
        rows.size() == 1 && rows.front() < all.size()
            ? formatMessage(kAskRemoveOne, {all[rows.front()].name})
            : formatMessage(kAskRemoveMany, {std::to_wstring(rows.size())});
    if (!askYesNo(hwnd(), question)) return;
    // From the last, so that the places of the others stay as they were.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) lists_.remove(*row);
    LVITEMW unselected{};
    unselected.stateMask = LVIS_SELECTED;
    SendMessageW(listView(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&unselected));
    rowsChanged();
}

void TFilterListForm::Button3Click() { lists_.updateNow(selectedRows()); }

void TFilterListForm::Button4Click() { ShowWindow(hwnd(), SW_HIDE); }

// A box changes state from checked to unchecked or back; its first showing (from no
// state image) and the rows shown anew are not the user's.
void TFilterListForm::handleListNotification(const NMHDR& header) {
    if (header.code != LVN_ITEMCHANGED) return;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return;
    if ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) ListView1SelectionChange();
    const UINT before = (change.uOldState & LVIS_STATEIMAGEMASK) >> 12;
    const UINT after = (change.uNewState & LVIS_STATEIMAGEMASK) >> 12;
    if (showingRows_ || before == 0 || after == 0 || before == after) return;
    ListView1ItemChecked(static_cast<std::size_t>(change.iItem), after == 2);
}

bool TFilterListForm::handleCommand(int control, int notification) {
    if (notification != BN_CLICKED) return false;
    switch (control) {
    case id::Button1: Button1Click(); return true;
    case id::Button2: Button2Click(); return true;
    case id::Button3: Button3Click(); return true;
    case IDCANCEL:
    case id::Button4: Button4Click(); return true;
    default: return false;
    }
}

LRESULT TFilterListForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> flat = FlatLook1.route(message, wParam, lParam)) return *flat;
    switch (message) {
    case WM_CREATE: FormCreate(); return 0;
    case WM_COMMAND:
        if (handleCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == id::ListView1) handleListNotification(*header);
        break;
    }
    case WM_CLOSE: Button4Click(); return 0;
    default: break;
    }
    return Window::handleMessage(message, wParam, lParam);
}

}  // namespace nimbrel
