// Minimise to the tray, restore from it, the tray menu and always-on-top.
#include "app/settings_store.h"
#include "ui/captions.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"
#include "ui/web_link.h"

#include <shellapi.h>

namespace nimbrel {

// Minimises the program; the minimise hook then sends it to the tray.
void TTarnwickForm1::minimiseProgram() {
    if (IsIconic(hwnd()) || inTray_) return;
    ShowWindow(hwnd(), SW_MINIMIZE);
}

void TTarnwickForm1::minimizeapplication() {
    inTray_ = true;
    tray_.add();
    ShowWindow(hwnd(), SW_HIDE);
}

void TTarnwickForm1::restoreapplication() {
    tray_.remove();
    ShowWindow(hwnd(), SW_SHOW);
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    inTray_ = false;
    SetForegroundWindow(hwnd());
}

// A new task bar has none of the old icons: while the program lives in the tray, its icon
// is its only way back, so it is added again.
void TTarnwickForm1::taskbarcreated() {
    if (inTray_) tray_.add();
}

void TTarnwickForm1::trayiconmessage(LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK: restoreapplication(); break;
    case WM_LBUTTONDOWN: {
        DWORD foregroundProcess = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &foregroundProcess);
        if (foregroundProcess == GetCurrentProcessId() && !inTray_)
            minimiseProgram();
        else
            restoreapplication();
        break;
    }
    case WM_RBUTTONUP: {
        POINT at{};
        GetCursorPos(&at);
        SetForegroundWindow(hwnd());  // so that the menu closes when the user clicks elsewhere
        TrackPopupMenu(PopupMenu1_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(),
                       nullptr);
        PostMessageW(hwnd(), WM_NULL, 0, 0);
        break;
    }
    case NIN_BALLOONUSERCLICK: filter_.notices().noticeClicked(); break;
    default: break;
    }
}

void TTarnwickForm1::applyAlwaysOnTop() {
    SetWindowPos(hwnd(), isOn(settings.autoontop) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TTarnwickForm1::Preferences1Click() {
    restoreapplication();
    selectPage(1);
}

void TTarnwickForm1::Exception1Click() {
    restoreapplication();
    selectPage(2);
}

void TTarnwickForm1::V1Click() {
    restoreapplication();
    selectPage(3);
}

void TTarnwickForm1::Visitoursite1Click() {
    openWebLink(kHomePage);
}

}  // namespace nimbrel
