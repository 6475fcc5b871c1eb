#include "ui/messages_box.h"

#include "core/messages.h"

#include <string>

namespace nimbrel {

void showMessage(HWND owner, std::wstring_view text) {
    const std::wstring body(text);
    const std::wstring title(kAppTitle);
    MessageBoxW(owner, body.c_str(), title.c_str(), MB_OK);
}

bool askYesNo(HWND owner, std::wstring_view text) {
    const std::wstring body(text);
    const std::wstring title(kAppTitle);
    return MessageBoxW(owner, body.c_str(), title.c_str(), MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

void showErrorReport(HWND owner, std::wstring_view text) {
    const std::wstring body = withFullStop(text);
    const std::wstring title(kAppTitle);
    MessageBoxW(owner, body.c_str(), title.c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace nimbrel
