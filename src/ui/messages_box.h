// The program's two kinds of message box, both captioned with the application title.
#pragma once

#include <windows.h>

#include <string_view>

namespace nimbrel {

// A plain message: one OK button, no icon.
void showMessage(HWND owner, std::wstring_view text);
// A question with the buttons Yes and No, No the default; true for Yes.
bool askYesNo(HWND owner, std::wstring_view text);
// The general error report: the error's text with a full stop, and a stop icon.
void showErrorReport(HWND owner, std::wstring_view text);

}  // namespace nimbrel
