#include "app/tray_icon.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>

namespace nimbrel {
namespace {

NOTIFYICONDATAW trayRecord(HWND owner, HICON icon) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V1_SIZE;
    record.hWnd = owner;
    record.uID = kTrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = icon;
    std::wcsncpy(record.szTip, L"Nimbrel", 63);
    return record;
}

}  // namespace

UINT taskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void TrayIcon::add() {
    NOTIFYICONDATAW record = trayRecord(owner_, icon_);
    Shell_NotifyIconW(NIM_ADD, &record);
}

void TrayIcon::showNotice(std::wstring_view title, std::wstring_view text) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V2_SIZE;
    record.hWnd = owner_;
    record.uID = kTrayIconId;
    record.uFlags = NIF_INFO;
    record.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
    title.copy(record.szInfoTitle, std::size(record.szInfoTitle) - 1);
    text.copy(record.szInfo, std::size(record.szInfo) - 1);
    Shell_NotifyIconW(NIM_MODIFY, &record);
}

void TrayIcon::remove() {
    NOTIFYICONDATAW record = trayRecord(owner_, icon_);
    Shell_NotifyIconW(NIM_DELETE, &record);
}

}  // namespace nimbrel
