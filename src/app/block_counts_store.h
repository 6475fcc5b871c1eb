// The log page's counts between runs, kept for each user: three string values in the
// user's key of the program (HKEY_CURRENT_USER\Software\Nimbrel), whoever may write the
// machine-wide one.
#pragma once

#include "core/block_counts.h"

namespace nimbrel {

inline constexpr const wchar_t* kCountDateValue = L"cleardate";    // "YYYYMMDD" of `cleartoday`
inline constexpr const wchar_t* kCountTodayValue = L"cleartoday";  // removals on that day
inline constexpr const wchar_t* kCountTotalValue = L"cleartotal";  // removals since the first start

// Values that are missing or cannot be read read as empty.
StoredCounts loadBlockCounts();
// The counts are a convenience: a write the registry refuses leaves the last ones stored and
// costs the removal that was counted nothing. True when all three were written.
bool saveBlockCounts(const StoredCounts& counts);

}  // namespace nimbrel
