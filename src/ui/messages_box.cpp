#include "ui/messages_box.h"

#include "core/messages.h"

#include <string>

namespace nimbrel {

void showMessage(HWND owner, std::wstring_view text) {
    const std::wstring body(text);
    const std::wstring title(kAppTitle);
    MessageBoxW(owner, body.c_str(), title.c_str(), MB_OK);
}

void showErrorReport(HWND owner, std::wstring_view text) {
    const std::wstring body = withFullStop(text);
    const std::wstring title(kAppTitle);
    MessageBoxW(owner, body.c_str(), title.c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace nimbrel
