// Finding and working the top-level windows of another process.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The first top-level window of process_id with this class name, and with this
// caption unless caption is null; nullptr if there is none.
HWND find_top_level_window(DWORD process_id, const std::wstring& class_name,
                           const wchar_t* caption = nullptr);
std::wstring window_text(HWND window);
// The text of a message box: its static control with id 0xFFFF.
std::wstring message_box_text(HWND box);
// Presses a message box's OK button.
void press_ok(HWND box);
// Moves the pointer and waits until the display itself reports it there, so that another
// process asking for the pointer next cannot still read where it was.
bool move_pointer(int x, int y);

}  // namespace e2e
