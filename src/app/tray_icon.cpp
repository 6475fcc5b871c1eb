#include "app/tray_icon.h"

#include <shellapi.h>

#include <cwchar>

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

void TrayIcon::remove() {
    NOTIFYICONDATAW record = trayRecord(owner_, icon_);
    Shell_NotifyIconW(NIM_DELETE, &record);
}

}  // namespace nimbrel
