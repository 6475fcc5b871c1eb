#include "app/block_counts_store.h"

#include "app/registry.h"
#include "platform/error.h"

namespace nimbrel {
namespace {

std::wstring readOrEmpty(HKEY key, const wchar_t* name) {
    try {
        return readString(key, name);
    } catch (const Error&) {
        return {};  // not a string: whatever wrote it, it is no count of ours
    }
}

}  // namespace

StoredCounts loadBlockCounts() {
    const RegKey key = openKeyForReading(HKEY_CURRENT_USER, kUserSettingsKey);
    return {readOrEmpty(key.get(), kCountDateValue), readOrEmpty(key.get(), kCountTodayValue),
            readOrEmpty(key.get(), kCountTotalValue)};
}

bool saveBlockCounts(const StoredCounts& counts) {
    const RegKey key = openKey(HKEY_CURRENT_USER, kUserSettingsKey);
    try {
        // The date last: a day's count cut short by a refused write is then taken for an
        // older day's and not shown as today's.
        writeString(key.get(), kCountTotalValue, counts.total);
        writeString(key.get(), kCountTodayValue, counts.today);
        writeString(key.get(), kCountDateValue, counts.date);
        return true;
    } catch (const Error&) {
        return false;
    }
}

}  // namespace nimbrel
