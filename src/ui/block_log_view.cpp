#include "ui/block_log_view.h"

#include "platform/ansi.h"

#include <commctrl.h>

namespace nimbrel {
namespace {

struct Column {
    const wchar_t* header;
    int width;  // at 96 DPI
    std::wstring (*text)(const LogRow& row);
};

constexpr Column kColumns[] = {
    {L"时间", 90, [](const LogRow& row) { return fromAnsi(row.timeStamp); }},
    {L"地址", 230, [](const LogRow& row) { return fromAnsi(row.address); }},
    {L"原因", 200, &shownReason},
};

void addColumn(HWND view, int index, const Column& column, int dpi) {
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    header.pszText = const_cast<wchar_t*>(column.header);
    header.cx = MulDiv(column.width, dpi, 96);
    header.iSubItem = index;
    SendMessageW(view, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&header));
}

}  // namespace

void BlockLogView::attach(HWND listView) {
    view_ = listView;
    SendMessageW(view_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    for (int index = 0; index < static_cast<int>(std::size(kColumns)); ++index)
        addColumn(view_, index, kColumns[index], dpi);
}

bool BlockLogView::tracklog(const CodePage& codePage, std::string_view address, const BlockReason& reason,
                            IUnknown* window) {
    auto row = BlockLog::rowFor(codePage, address, reason);
    if (!row || !show(*row)) return false;
    log_.keep(std::move(*row), window);
    return true;
}

// Appends the row to the view; false when the view refused it.
bool BlockLogView::show(const LogRow& row) {
    std::wstring text = kColumns[0].text(row);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageW(view_, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = text.data();
    const auto index = static_cast<int>(SendMessageW(view_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return false;
    for (int column = 1; column < static_cast<int>(std::size(kColumns)); ++column) {
        text = kColumns[column].text(row);
        item.iSubItem = column;
        item.pszText = text.data();
        SendMessageW(view_, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
    return true;
}

void BlockLogView::clear() {
    SendMessageW(view_, LVM_DELETEALLITEMS, 0, 0);
    log_.clear();
}

std::optional<std::size_t> BlockLogView::selectedRow() const {
    const auto selected = static_cast<int>(SendMessageW(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (selected < 0 || static_cast<std::size_t>(selected) >= log_.rows().size()) return std::nullopt;
    return static_cast<std::size_t>(selected);
}

std::optional<std::string> BlockLogView::selectedAddress() const {
    const auto row = selectedRow();
    return row ? log_.address(*row) : std::nullopt;
}

}  // namespace nimbrel
