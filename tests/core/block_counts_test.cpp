// The log page's counts: this run, today and in all, across midnight and across restarts
// through what the user's store keeps.
#include "core/block_counts.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace nimbrel {
namespace {

constexpr LocalDate kMonday{2026, 12, 7}, kTuesday{2026, 12, 8}, kNewYear{2027, 1, 1}, kOldYear{2026, 12, 31};

using Seen = std::array<std::uint64_t, 3>;  // this run, today, in all
Seen seen(const BlockCounts& counts) { return {counts.run(), counts.today(), counts.total()}; }

TEST(BlockCountsTest, RestartsKeepTodayOnlyOnTheSameDayAndTheTotalAlways) {
    BlockCounts first = BlockCounts::resumed({}, kMonday);  // the first start: nothing stored
    EXPECT_EQ(seen(first), (Seen{0, 0, 0}));
    first.add(kMonday);
    first.add(kMonday);
    EXPECT_EQ(first.stored(), (StoredCounts{L"20261207", L"2", L"2"}));

    BlockCounts sameDay = BlockCounts::resumed(first.stored(), kMonday);
    EXPECT_EQ(seen(sameDay), (Seen{0, 2, 2})) << "a new run counts from 0; the day and the total go on";
    sameDay.add(kMonday);
    EXPECT_EQ(seen(sameDay), (Seen{1, 3, 3}));

    const BlockCounts nextDay = BlockCounts::resumed(sameDay.stored(), kTuesday);
    EXPECT_EQ(seen(nextDay), (Seen{0, 0, 3}));
    EXPECT_EQ(nextDay.stored(), (StoredCounts{L"20261208", L"0", L"3"}));
    const BlockCounts clockSetBack = BlockCounts::resumed(sameDay.stored(), {2026, 12, 6});
    EXPECT_EQ(seen(clockSetBack), (Seen{0, 0, 3})) << "another day, whichever way";
}

TEST(BlockCountsTest, MidnightStartsTodayAnewWithOrWithoutARemoval) {
    BlockCounts counts = BlockCounts::resumed({L"20261231", L"5", L"40"}, kOldYear);
    counts.add(kOldYear);
    EXPECT_EQ(seen(counts), (Seen{1, 6, 41}));
    counts.add(kNewYear);  // the first removal after midnight
    EXPECT_EQ(seen(counts), (Seen{2, 1, 42}));
    EXPECT_EQ(counts.stored().date, L"20270101");

    counts.dateIs(kNewYear);
    EXPECT_EQ(seen(counts), (Seen{2, 1, 42})) << "the same day changes nothing";
    counts.dateIs({2027, 1, 2});  // the page shown past the next midnight, nothing removed
    EXPECT_EQ(seen(counts), (Seen{2, 0, 42}));
    EXPECT_EQ(BlockCounts::resumed(counts.stored(), {2027, 1, 2}).today(), 0u);
}

TEST(BlockCountsTest, StoredTextsThatAreNoCountReadAsZeroAndHugeOnesStop) {
    const struct {
        StoredCounts stored;
        Seen expected;
    } cases[] = {
        {{L"20261207", L"", L""}, {0, 0, 0}},
        {{L"20261207", L"x", L"12a"}, {0, 0, 0}},
        {{L"20261207", L"-3", L" 7"}, {0, 0, 0}},
        {{L"20261207", L"9", L"4"}, {0, 9, 9}},  // the total holds today's removals
        {{L"2026-12-07", L"9", L"4"}, {0, 0, 4}},
        {{L"20261207", L"99999999999999999999999", L"18446744073709551615"},
         {0, std::numeric_limits<std::uint64_t>::max(), std::numeric_limits<std::uint64_t>::max()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.stored.today + L"/" + c.stored.total));
        BlockCounts counts = BlockCounts::resumed(c.stored, kMonday);
        EXPECT_EQ(seen(counts), c.expected);
        counts.add(kMonday);
        EXPECT_GE(counts.total(), c.expected[2]) << "never wraps round to 0";
    }
}

TEST(BlockCountsTest, TheLineSaysAllThreeInThatOrder) {
    BlockCounts counts = BlockCounts::resumed({L"20261207", L"4", L"1234567"}, kMonday);
    counts.add(kMonday);
    EXPECT_EQ(countsLine(counts), L"本次已清除 1 个, 今天 5 个, 总计 1234568 个");
    EXPECT_EQ(dateText({987, 3, 9}), L"09870309");
}

TEST(BlockCountsTest, TheNextLookAtTheDateComesJustAfterMidnight) {
    EXPECT_EQ(millisecondsToNextDay(0, 0, 0, 0), 86'401'000u);
    EXPECT_EQ(millisecondsToNextDay(12, 30, 0, 0), 41'401'000u);
    EXPECT_EQ(millisecondsToNextDay(23, 59, 59, 999), 1'001u);
    EXPECT_EQ(millisecondsToNextDay(23, 59, 60, 500), 1'000u) << "a leap second past the day";
}

}  // namespace
}  // namespace nimbrel
