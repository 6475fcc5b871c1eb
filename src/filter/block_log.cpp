#include "filter/block_log.h"

#include "platform/ansi.h"

#include <windows.h>

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

}  // namespace

std::optional<LogRow> BlockLog::rowFor(const CodePage& codePage, std::string_view address,
                                       const BlockReason& reason) {
    return makeLogRow(codePage, address, localTimeNow(), localeTimeSeparator(), reason);
}

std::wstring shownReason(const LogRow& row) { return reasonText(row.reason, fromAnsi(row.reason.entry)); }

std::optional<std::string> BlockLog::address(std::size_t row) const {
    if (row >= rows_.size()) return std::nullopt;
    return rows_[row].address;
}

}  // namespace nimbrel
