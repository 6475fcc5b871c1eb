// The block log: one row per removed navigation or closed window, in the log page's list.
#pragma once

#include "core/ansi_text.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

class BlockLog {
public:
    // Takes over a report-style list view: columns, grid lines, whole-row selection.
    void attach(HWND listView);

    // Adds a row for an address (ANSI text as received), unless it is our own
    // placeholder picture. The view does not scroll.
    void tracklog(const CodePage& codePage, std::string_view address);
    void clear();
    int rowCount() const;
    // The address of the selected row as it was logged, whole: the list view cuts its
    // text at a NUL character.
    std::optional<std::string> selectedAddress() const;
    // Every row's time stamp and address as shown, first row first.
    std::vector<std::array<std::wstring, 2>> rows() const;

private:
    std::wstring cellText(int row, int column) const;

    HWND view_ = nullptr;
    std::vector<std::string> addresses_;  // one per row, in row order
};

}  // namespace nimbrel
