// The block log: one row per removed navigation or closed window, oldest first, kept here
// whole. The log page's list view (src/ui) shows row i of this log as its own row i.
#pragma once

#include "core/ansi_text.h"
#include "core/block_log_rules.h"
#include "platform/raii.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

class BlockLog {
public:
    // The row a removal gets at this moment (local time, the locale's time separator), or
    // nothing when its address is our own placeholder picture.
    static std::optional<LogRow> rowFor(const CodePage& codePage, std::string_view address, const BlockReason& reason);

    // Keeps a row, with the window whose navigation it removed (null for none); the caller
    // keeps it only once the view shows it, so that the rows and what is behind them never part.
    void keep(LogRow row, ComPtr<IUnknown> window = nullptr) {
        rows_.push_back(std::move(row));
        windows_.push_back(std::move(window));
    }
    void clear() {
        rows_.clear();
        windows_.clear();
    }
    const std::vector<LogRow>& rows() const { return rows_; }
    // A row's address as it was logged, whole (a list view cuts its text at a NUL), or
    // nothing for a row that does not exist.
    std::optional<std::string> address(std::size_t row) const;
    // The window of a row's removal, or null (none, or no such row).
    IUnknown* window(std::size_t row) const { return row < windows_.size() ? windows_[row].Get() : nullptr; }

private:
    std::vector<LogRow> rows_;
    std::vector<ComPtr<IUnknown>> windows_;  // beside rows_, one each
};

// What removed the row's address, in the program's words.
std::wstring shownReason(const LogRow& row);

}  // namespace nimbrel
