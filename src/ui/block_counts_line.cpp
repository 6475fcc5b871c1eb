#include "ui/block_counts_line.h"

#include "app/block_counts_store.h"

namespace nimbrel {
namespace {

LocalDate today(const SYSTEMTIME& now) { return {now.wYear, now.wMonth, now.wDay}; }

SYSTEMTIME localNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now;
}

}  // namespace

void BlockCountsLine::attach(HWND label, HWND owner, UINT_PTR timerId) {
    label_ = label;
    owner_ = owner;
    timerId_ = timerId;
    counts_ = BlockCounts::resumed(loadBlockCounts(), today(localNow()));
    show();
    armTimer();
}

void BlockCountsLine::detach() {
    if (owner_) KillTimer(owner_, timerId_);
    owner_ = nullptr;
}

void BlockCountsLine::counted() {
    counts_.add(today(localNow()));
    saveBlockCounts(counts_.stored());  // refused: the count still shows for this run
    show();
}

void BlockCountsLine::midnight() {
    counts_.dateIs(today(localNow()));
    show();
    armTimer();
}

void BlockCountsLine::show() {
    if (label_) SetWindowTextW(label_, countsLine(counts_).c_str());
}

// Once a day is enough: the date is looked at again just after the next midnight.
void BlockCountsLine::armTimer() {
    if (!owner_) return;
    const SYSTEMTIME now = localNow();
    SetTimer(owner_, timerId_, millisecondsToNextDay(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds),
             nullptr);
}

}  // namespace nimbrel
