// How many removals the log page counts: in this run, today (the local date) and since the
// first start. Today's and the total are kept per user between runs, as three texts.
#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

struct LocalDate {
    int year = 2000;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31

    bool operator==(const LocalDate&) const = default;
};

// What the user's store holds; texts that are missing or not a plain count read as 0.
struct StoredCounts {
    std::wstring date;   // "YYYYMMDD", the day that `today` belongs to
    std::wstring today;  // decimal
    std::wstring total;  // decimal

    bool operator==(const StoredCounts&) const = default;
};

class BlockCounts {
public:
    // The counts a run starts with on `now`: today's go on only if they were stored today.
    static BlockCounts resumed(const StoredCounts& stored, LocalDate now);

    // One more removal on that date; the first one of a new day starts today's count anew.
    void add(LocalDate now);
    // The date moved on without a removal (midnight passed): today's count starts at 0.
    void dateIs(LocalDate now);

    std::uint64_t run() const { return run_; }
    std::uint64_t today() const { return today_; }
    std::uint64_t total() const { return total_; }
    StoredCounts stored() const;

private:
    std::wstring date_;
    std::uint64_t run_ = 0;
    std::uint64_t today_ = 0;
    std::uint64_t total_ = 0;
};

// "YYYYMMDD"
std::wstring dateText(LocalDate date);

// From a time of day to a moment just past the next midnight, in milliseconds.
unsigned millisecondsToNextDay(int hour, int minute, int second, int millisecond);

// "本次已清除 N 个, 今天 M 个, 总计 T 个"
std::wstring countsLine(const BlockCounts& counts);

}  // namespace nimbrel
