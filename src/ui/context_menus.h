// Right-click menus built on demand: the usual edit commands of an edit box, and plain
// menus of the window's own commands.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

namespace nimbrel {

// One entry of a menu; an id of 0 is a separator.
struct MenuEntry {
    int id = 0;
    const wchar_t* caption = L"";
    bool enabled = true;
};

// Sends the control's requests for a context menu (WM_CONTEXTMENU) to its top-level
// window instead of letting the control show a menu of its own.
void forwardContextMenu(HWND control);

// Where a context menu for the control opens: at the pointer, or, when the keyboard asked
// for it (no position given), at the control's top-left corner.
POINT contextMenuPoint(HWND control, LPARAM position);

// Shows the entries at the point and returns the id chosen, or 0 when none was.
int trackMenu(HWND owner, POINT at, std::span<const MenuEntry> entries);

// Undo, cut, copy, paste, delete and select all, each enabled as the box's state allows.
std::vector<MenuEntry> editCommands(HWND edit);
// Carries out an entry of editCommands on the box; false for any other id.
bool runEditCommand(HWND edit, int id);

}  // namespace nimbrel
