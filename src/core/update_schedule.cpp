#include "core/update_schedule.h"

#include <algorithm>
#include <cmath>

namespace nimbrel {
namespace {

using std::chrono::hours;
using std::chrono::seconds;

constexpr hours kDefaultInterval{4 * 24};
constexpr hours kShortestInterval{24};
constexpr hours kLongestInterval{14 * 24};
constexpr double kSpread = 0.10;
constexpr hours kRetryDelays[] = {hours(1), hours(4), hours(12)};

// The longest any schedule waits: the longest interval, spread up.
constexpr seconds kLongestWait{static_cast<seconds::rep>(14 * 24 * 3600 * (1 + kSpread)) + 1};

}  // namespace

seconds updateInterval(std::optional<hours> expires) {
    if (!expires) return kDefaultInterval;
    return std::clamp(*expires, kShortestInterval, kLongestInterval);
}

seconds spreadDelay(seconds delay, double random) {
    if (!(random >= 0.0)) random = 0.0;  // NaN too
    random = std::min(random, 1.0);
    const double factor = 1.0 + kSpread * (2.0 * random - 1.0);
    return seconds(static_cast<seconds::rep>(std::llround(static_cast<double>(delay.count()) * factor)));
}

seconds retryDelay(unsigned failuresInARow, seconds interval) {
    if (failuresInARow == 0 || failuresInARow > std::size(kRetryDelays)) return interval;
    return kRetryDelays[failuresInARow - 1];
}

ScheduleTime nextUpdate(ScheduleTime attempt, unsigned failuresInARow, std::optional<hours> expires, double random) {
    return attempt + spreadDelay(retryDelay(failuresInARow, updateInterval(expires)), random);
}

bool isDue(std::optional<ScheduleTime> next, ScheduleTime now) {
    return !next || *next <= now || *next - now > kLongestWait;
}

std::optional<seconds> waitBeforeNextCheck(std::span<const std::optional<ScheduleTime>> nextUpdates, ScheduleTime now,
                                           seconds sinceStart) {
    if (nextUpdates.empty()) return std::nullopt;
    seconds wait = kLongestWait;
    for (const auto& next : nextUpdates) wait = std::min(wait, isDue(next, now) ? seconds(0) : *next - now);
    return std::max(wait, kFirstUpdateCheckDelay - sinceStart);
}

}  // namespace nimbrel
