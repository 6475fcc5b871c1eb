// When filter lists are downloaded again: clamping of "Expires", the random spread, the
// retries after failures, due times and the first check after start-up.
#include "core/update_schedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace nimbrel {
namespace {

using std::chrono::days;
using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

const ScheduleTime kNow{seconds(1'765'000'000)};

TEST(UpdateScheduleTest, IntervalIsTheListsExpiryClampedToOneToFourteenDays) {
    const struct {
        std::optional<hours> expires;
        hours interval;
    } cases[] = {
        {std::nullopt, days(4)}, {hours(0), days(1)},  {hours(12), days(1)},   {days(1), days(1)},
        {hours(30), hours(30)},  {days(5), days(5)},   {days(14), days(14)},   {days(30), days(14)},
        {hours(100000 * 24), days(14)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(updateInterval(c.expires), c.interval) << (c.expires ? c.expires->count() : -1) << " hours";
}

TEST(UpdateScheduleTest, SpreadIsTenPercentEitherWay) {
    const struct {
        double random;
        seconds delay;
    } cases[] = {
        {0.0, hours(86) + minutes(24)},  // 4 days less 10 %
        {0.5, days(4)},
        {0.75, hours(100) + minutes(48)},  // 4 days plus 5 %
        {std::nextafter(1.0, 0.0), hours(105) + minutes(36)},
        {-3.0, hours(86) + minutes(24)},
        {7.0, hours(105) + minutes(36)},
        {std::numeric_limits<double>::quiet_NaN(), hours(86) + minutes(24)},
    };
    for (const auto& c : cases) EXPECT_EQ(spreadDelay(days(4), c.random), c.delay) << c.random;
}

TEST(UpdateScheduleTest, FailuresRetryAfterOneFourAndTwelveHoursThenAtTheInterval) {
    const struct {
        unsigned failures;
        seconds delay;
    } cases[] = {{0, days(3)}, {1, hours(1)}, {2, hours(4)}, {3, hours(12)}, {4, days(3)}, {40, days(3)}};
    for (const auto& c : cases) {
        EXPECT_EQ(retryDelay(c.failures, days(3)), c.delay) << c.failures;
        EXPECT_EQ(nextUpdate(kNow, c.failures, days(3), 0.5), kNow + c.delay) << c.failures;
    }
}

TEST(UpdateScheduleTest, NextUpdatesOfManyUsersSpreadOverTheWholeWindow) {
    seconds earliest = days(100), latest{0};
    for (int i = 0; i < 1000; ++i) {
        const seconds wait = nextUpdate(kNow, 0, std::nullopt, i / 1000.0) - kNow;
        earliest = std::min(earliest, wait);
        latest = std::max(latest, wait);
    }
    EXPECT_EQ(earliest, hours(86) + minutes(24));
    EXPECT_GT(latest, hours(105) + minutes(30));
    EXPECT_LE(latest, hours(105) + minutes(36));
    EXPECT_EQ(nextUpdate(kNow, 2, std::nullopt, 0.0), kNow + hours(3) + minutes(36));  // retries spread as well
}

TEST(UpdateScheduleTest, DueTimes) {
    EXPECT_TRUE(isDue(std::nullopt, kNow));  // never updated
    EXPECT_TRUE(isDue(kNow, kNow));
    EXPECT_TRUE(isDue(kNow - hours(1), kNow));
    EXPECT_FALSE(isDue(kNow + seconds(1), kNow));
    EXPECT_FALSE(isDue(kNow + days(15), kNow));
    EXPECT_TRUE(isDue(kNow + days(16), kNow));  // the clock was put back
}

TEST(UpdateScheduleTest, TheFirstCheckWaitsAMinuteAfterStartUp) {
    const std::vector<std::optional<ScheduleTime>> dueNow{std::nullopt, kNow + days(2)};
    const std::vector<std::optional<ScheduleTime>> dueLater{kNow + hours(2), kNow + days(2)};
    EXPECT_EQ(waitBeforeNextCheck(dueNow, kNow, seconds(0)), seconds(60));
    EXPECT_EQ(waitBeforeNextCheck(dueNow, kNow, seconds(45)), seconds(15));
    EXPECT_EQ(waitBeforeNextCheck(dueNow, kNow, hours(3)), seconds(0));
    EXPECT_EQ(waitBeforeNextCheck(dueLater, kNow, seconds(0)), hours(2));
    EXPECT_EQ(waitBeforeNextCheck(dueLater, kNow, hours(5)), hours(2));
    EXPECT_EQ(waitBeforeNextCheck({}, kNow, hours(5)), std::nullopt);
}

}  // namespace
}  // namespace nimbrel
