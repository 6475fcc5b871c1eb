// The log page's list view showing the block log: columns, one row per logged removal,
// the selection. The rows themselves, whole, stay in the log (src/filter).
#pragma once

#include "filter/block_log.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

class BlockLogView {
public:
    // Takes over a report-style list view: columns, grid lines, whole-row selection.
    void attach(HWND listView);

    // Adds a row for an address (ANSI text as received), what removed it and the window it
    // was removed in, unless it is our own placeholder picture. The view does not scroll. A
    // row the view refuses is not kept either. True when a row was added.
    bool tracklog(const CodePage& codePage, std::string_view address, const BlockReason& reason,
                  IUnknown* window = nullptr);
    void clear();
    // The address of the selected row as it was logged.
    std::optional<std::string> selectedAddress() const;
    std::optional<std::size_t> selectedRow() const;
    const BlockLog& log() const { return log_; }

private:
    bool show(const LogRow& row);

    HWND view_ = nullptr;
    BlockLog log_;
};

}  // namespace nimbrel
