#include "filter/block_log.h"

#include "core/block_log_rules.h"
#include "platform/ansi.h"

#include <commctrl.h>

#include <string>

namespace nimbrel {
namespace {

LocalTime localTimeNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string localeTimeSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8) <= 1) return ":";
    return toAnsi(separator);
}

void addColumn(HWND view, int index, const wchar_t* header, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(header);
    column.cx = width;
    column.iSubItem = index;
    SendMessageW(view, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

}  // namespace

void BlockLog::attach(HWND listView) {
    view_ = listView;
    SendMessageW(view_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    addColumn(view_, 0, L"时间", MulDiv(90, dpi, 96));
    addColumn(view_, 1, L"地址", MulDiv(230, dpi, 96));
}

void BlockLog::tracklog(const CodePage& codePage, std::string_view address) {
    const auto row = makeLogRow(codePage, address, localTimeNow(), localeTimeSeparator());
    if (!row) return;
    std::wstring stamp = fromAnsi(row->timeStamp);
    std::wstring shown = fromAnsi(row->address);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = rowCount();
    item.pszText = stamp.data();
    const auto index = static_cast<int>(SendMessageW(view_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    item.iItem = index;
    item.iSubItem = 1;
    item.pszText = shown.data();
    SendMessageW(view_, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    addresses_.push_back(std::move(row->address));
}

void BlockLog::clear() {
    SendMessageW(view_, LVM_DELETEALLITEMS, 0, 0);
    addresses_.clear();
}

int BlockLog::rowCount() const { return static_cast<int>(SendMessageW(view_, LVM_GETITEMCOUNT, 0, 0)); }

std::optional<std::string> BlockLog::selectedAddress() const {
    const auto selected = static_cast<int>(SendMessageW(view_, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    if (selected < 0 || static_cast<size_t>(selected) >= addresses_.size()) return std::nullopt;
    return addresses_[static_cast<size_t>(selected)];
}

std::vector<std::array<std::wstring, 2>> BlockLog::rows() const {
    std::vector<std::array<std::wstring, 2>> rows;
    for (int row = 0, count = rowCount(); row < count; ++row) rows.push_back({cellText(row, 0), cellText(row, 1)});
    return rows;
}

// The list view copies no more than the buffer holds: a text that fills it may be longer.
std::wstring BlockLog::cellText(int row, int column) const {
    std::wstring text(1024, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto length =
            static_cast<size_t>(SendMessageW(view_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.assign(text.size() * 2, L'\0');
    }
}

}  // namespace nimbrel
