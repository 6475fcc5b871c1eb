// The line above the block log that counts the removals of this run, of today and since
// the first start; today's and the total go on from what the user's store kept.
#pragma once

#include "core/block_counts.h"

#include <windows.h>

namespace nimbrel {

class BlockCountsLine {
public:
    // Takes over the label and shows the counts; `owner` gets the timer `timerId` just after
    // each midnight, to be handed to midnight().
    void attach(HWND label, HWND owner, UINT_PTR timerId);
    void detach();

    // One more removal: counted, stored and shown.
    void counted();
    // The date has moved on: today's count starts at 0.
    void midnight();
    const BlockCounts& counts() const { return counts_; }

private:
    void show();
    void armTimer();

    HWND label_ = nullptr;
    HWND owner_ = nullptr;
    UINT_PTR timerId_ = 0;
    BlockCounts counts_;
};

}  // namespace nimbrel
