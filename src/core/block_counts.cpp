#include "core/block_counts.h"

#include <algorithm>
#include <limits>

namespace nimbrel {
namespace {

// A stored count: decimal digits only, else 0 (a value someone else wrote, or cut short);
// one too large to hold stays at the largest count.
std::uint64_t countOf(const std::wstring& text) {
    constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
    if (text.empty()) return 0;
    std::uint64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return 0;
        const auto digit = static_cast<std::uint64_t>(c - L'0');
        if (value > (kMost - digit) / 10) return kMost;
        value = value * 10 + digit;
    }
    return value;
}

std::uint64_t plusOne(std::uint64_t count) {
    return count == std::numeric_limits<std::uint64_t>::max() ? count : count + 1;
}

void appendDigits(std::wstring& out, int value, int width) {
    std::wstring digits = std::to_wstring(value < 0 ? 0 : value);
    if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), L'0');
    out += digits;
}

}  // namespace

std::wstring dateText(LocalDate date) {
    std::wstring text;
    appendDigits(text, date.year, 4);
    appendDigits(text, date.month, 2);
    appendDigits(text, date.day, 2);
    return text;
}

BlockCounts BlockCounts::resumed(const StoredCounts& stored, LocalDate now) {
    BlockCounts counts;
    counts.date_ = dateText(now);
    counts.today_ = stored.date == counts.date_ ? countOf(stored.today) : 0;
    // The total holds today's removals, whatever another writer left.
    counts.total_ = std::max(countOf(stored.total), counts.today_);
    return counts;
}

void BlockCounts::dateIs(LocalDate now) {
    std::wstring date = dateText(now);
    if (date == date_) return;
    date_ = std::move(date);
    today_ = 0;
}

void BlockCounts::add(LocalDate now) {
    dateIs(now);
    run_ = plusOne(run_);
    today_ = plusOne(today_);
    total_ = plusOne(total_);
}

StoredCounts BlockCounts::stored() const { return {date_, std::to_wstring(today_), std::to_wstring(total_)}; }

unsigned millisecondsToNextDay(int hour, int minute, int second, int millisecond) {
    constexpr int kDay = 24 * 3600 * 1000;
    constexpr int kPast = 1000;  // a timer may fire a little early; the date must have moved on
    const int now = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<unsigned>(std::clamp(kDay - now, 0, kDay) + kPast);
}

std::wstring countsLine(const BlockCounts& counts) {
    return L"本次已清除 " + std::to_wstring(counts.run()) + L" 个, 今天 " + std::to_wstring(counts.today()) +
           L" 个, 总计 " + std::to_wstring(counts.total()) + L" 个";
}

}  // namespace nimbrel
