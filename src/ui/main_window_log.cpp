// What the block log's menu does with the selected row: its site onto the white list, the
// black-list line that removed it, its reason onto the clipboard.
#include "core/list_text.h"
#include "core/site_line.h"
#include "platform/ansi.h"
#include "platform/clipboard.h"
#include "platform/window_text.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"

namespace nimbrel {
namespace {

const LogRow* selectedRow(const BlockLogView& log) {
    const auto row = log.selectedRow();
    return row ? &log.log().rows()[*row] : nullptr;
}

bool byBlackList(const LogRow& row) { return row.reason.source == BlockReason::Source::blackList; }

std::vector<std::string> boxLines(HWND memo) { return splitLines(toAnsi(windowText(memo))); }

}  // namespace

// A row that the black list removed cannot be let through by the white list: the menu says
// which line wins instead, and offers to show it.
std::vector<MenuEntry> TTarnwickForm1::rowCommands(std::wstring& allowCaption) const {
    const LogRow* row = selectedRow(blockLog_);
    const bool black = row && byBlackList(*row);
    allowCaption = L"允许此网站";
    if (black) allowCaption += L" (黑名单第 " + std::to_wstring(row->reason.line + 1) + L" 行优先)";
    return {
        {ids::AllowSite1, allowCaption.c_str(), row && !black && siteLine(codePage_, row->address).has_value()},
        {ids::ShowBlackLine1, L"显示黑名单行", black},
        {ids::CopyReason1, L"复制原因", row && !shownReason(*row).empty()},
    };
}

// Adds "//HOST/" for the row's host to the white list unless it is there already, and shows
// that line. Like a double-click, it counts at once and is saved with the next confirm.
void TTarnwickForm1::AllowSite1Click() {
    const LogRow* row = selectedRow(blockLog_);
    if (!row || byBlackList(*row)) return;
    const auto line = siteLine(codePage_, row->address);
    if (!line) return;
    HWND memo = control(ids::Memo1);
    auto at = findLine(codePage_, boxLines(memo), *line);
    if (!at) {
        SetWindowTextW(memo, withLineAppended(windowText(memo), fromAnsi(*line)).c_str());
        at = boxLines(memo).size() - 1;
    }
    selectListLine(ids::Memo1, *at);
}

// The line that removed the row, where it stands now: the box may have been edited since.
void TTarnwickForm1::ShowBlackLine1Click() {
    const LogRow* row = selectedRow(blockLog_);
    if (!row || !byBlackList(*row)) return;
    const auto at = findLine(codePage_, boxLines(control(ids::Memo2)), row->reason.entry, row->reason.line);
    if (at)
        selectListLine(ids::Memo2, *at);
    else
        selectPage(2);
}

void TTarnwickForm1::CopyReason1Click() {
    if (const LogRow* row = selectedRow(blockLog_)) copyToClipboard(hwnd(), shownReason(*row));
}

// Brings the exception page to the front with the line selected and in view.
void TTarnwickForm1::selectListLine(int memoId, std::size_t line) {
    selectPage(2);
    HWND memo = control(memoId);
    const auto start = SendMessageW(memo, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    if (start < 0) return;
    const auto length = SendMessageW(memo, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    SetFocus(memo);
    SendMessageW(memo, EM_SETSEL, static_cast<WPARAM>(start), start + length);
    SendMessageW(memo, EM_SCROLLCARET, 0, 0);
}

}  // namespace nimbrel
