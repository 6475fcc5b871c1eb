#pragma once
// What a row of the block log holds: a time stamp, the address removed and why.

#include <optional>
#include <string>
#include <string_view>

#include "core/ansi_text.h"
#include "core/block_reason.h"

namespace nimbrel {

struct LocalTime {
    int month = 1;   // 1 to 12
    int day = 1;     // 1 to 31
    int hour = 0;    // 0 to 23
    int minute = 0;  // 0 to 59
    int second = 0;  // 0 to 59
};

struct LogRow {
    std::string timeStamp;
    std::string address;
    BlockReason reason;

    bool operator==(const LogRow&) const = default;
};

// Our own placeholder picture for removed ads is never worth a row.
bool isLoggable(const CodePage& codePage, std::string_view address);

// "MM-DD hh<sep>mm<sep>ss" with the locale's time separator; no year.
std::string formatTimeStamp(const LocalTime& time, std::string_view timeSeparator);

// The address as passed, or "Popup ad" when it holds nothing but codes 0 to 32.
std::string shownAddress(std::string_view address);

// The row for one removal, or nothing when the address is not logged at all.
std::optional<LogRow> makeLogRow(const CodePage& codePage, std::string_view address, const LocalTime& time,
                                 std::string_view timeSeparator, const BlockReason& reason = {});

}  // namespace nimbrel
