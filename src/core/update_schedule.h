// When a filter list is downloaded again: at the interval its own "Expires" names (1 to 14
// days, 4 days when it names none), spread at random so that many users do not ask at
// once; sooner after a failure; never before the start-up has settled.
#pragma once

#include <chrono>
#include <optional>
#include <span>

namespace nimbrel {

using ScheduleTime = std::chrono::sys_seconds;

// The first check comes this long after start-up, so that updating never costs the start.
inline constexpr std::chrono::seconds kFirstUpdateCheckDelay{60};

// The list's "Expires" clamped to 1 to 14 days; 4 days when it names none.
std::chrono::seconds updateInterval(std::optional<std::chrono::hours> expires);

// `delay` spread by up to 10 % either way; `random` in [0, 1) (clamped into it).
std::chrono::seconds spreadDelay(std::chrono::seconds delay, double random);

// The wait after the n-th failure in a row: 1 hour, 4 hours, 12 hours, then the interval.
std::chrono::seconds retryDelay(unsigned failuresInARow, std::chrono::seconds interval);

// When a list falls due after an attempt that ended at `attempt`: the spread interval after a
// success (updated or not changed, failuresInARow 0), the spread retry delay after a failure.
// Draw `random` once per attempt and keep the result: the due time must not move between checks.
ScheduleTime nextUpdate(ScheduleTime attempt, unsigned failuresInARow, std::optional<std::chrono::hours> expires,
                        double random);

// A list never attempted is due at once; so is one whose due time lies further ahead than any
// schedule makes (the clock was put back).
bool isDue(std::optional<ScheduleTime> next, ScheduleTime now);

// How long the scheduler may sleep: until the first list falls due, but not before the first
// check after start-up; nullopt when there is no list.
std::optional<std::chrono::seconds> waitBeforeNextCheck(std::span<const std::optional<ScheduleTime>> nextUpdates,
                                                        ScheduleTime now, std::chrono::seconds sinceStart);

}  // namespace nimbrel
