// The block log: one row per removed navigation or closed window, oldest first, kept here
// whole. The log page's list view (src/ui) shows row i of this log as its own row i.
#pragma once

#include "core/ansi_text.h"
#include "core/block_log_rules.h"

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

    // Keeps a row; the caller keeps it only once the view shows it, so that the rows and
    // the addresses behind them never part.
    void keep(LogRow row) { rows_.push_back(std::move(row)); }
    void clear() { rows_.clear(); }
    const std::vector<LogRow>& rows() const { return rows_; }
    // A row's address as it was logged, whole (a list view cuts its text at a NUL), or
    // nothing for a row that does not exist.
    std::optional<std::string> address(std::size_t row) const;

private:
    std::vector<LogRow> rows_;
};

}  // namespace nimbrel
