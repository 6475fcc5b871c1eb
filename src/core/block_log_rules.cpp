#include "core/block_log_rules.h"

namespace nimbrel {

namespace {

constexpr std::string_view kPlaceholderPicture = "ADREMOVED.GIF";
constexpr std::string_view kBlankAddressText = "Popup ad";

void appendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

bool isLoggable(const CodePage& codePage, std::string_view address) {
    return !containsAtBoundary(codePage, upperCase(codePage, address), kPlaceholderPicture);
}

std::string formatTimeStamp(const LocalTime& time, std::string_view timeSeparator) {
    std::string stamp;
    appendTwoDigits(stamp, time.month);
    stamp += '-';
    appendTwoDigits(stamp, time.day);
    stamp += ' ';
    appendTwoDigits(stamp, time.hour);
    stamp += timeSeparator;
    appendTwoDigits(stamp, time.minute);
    stamp += timeSeparator;
    appendTwoDigits(stamp, time.second);
    return stamp;
}

std::string shownAddress(std::string_view address) {
    if (trimBlanksAndControls(address).empty()) {
        return std::string(kBlankAddressText);
    }
    return std::string(address);
}

std::optional<LogRow> makeLogRow(const CodePage& codePage, std::string_view address, const LocalTime& time,
                                 std::string_view timeSeparator, const BlockReason& reason) {
    if (!isLoggable(codePage, address)) {
        return std::nullopt;
    }
    return LogRow{formatTimeStamp(time, timeSeparator), shownAddress(address), reason};
}

}  // namespace nimbrel
