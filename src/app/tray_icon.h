// The program's icon in the task bar's notification area.
#pragma once

#include <windows.h>

#include <string_view>

namespace nimbrel {

inline constexpr UINT kTrayCallbackMessage = 2000;
inline constexpr UINT kTrayIconId = 1000;

// The message the shell broadcasts when its task bar has been (re-)created: icons that
// were shown before are gone and must be added again.
UINT taskbarCreatedMessage();

// The record is filled anew before every add and delete; adding an icon that is shown,
// or deleting one that is not, changes nothing.
class TrayIcon {
public:
    void attach(HWND owner, HICON icon) {
        owner_ = owner;
        icon_ = icon;
    }
    void add();
    void remove();
    // A balloon over the shown icon, without sound; the shell tells its click through the
    // callback message (NIN_BALLOONUSERCLICK).
    void showNotice(std::wstring_view title, std::wstring_view text);

private:
    HWND owner_ = nullptr;
    HICON icon_ = nullptr;
};

}  // namespace nimbrel
