// The window's side of the connection to the shell: it runs the connection's timers and
// hands on the collection's events.
#include "core/messages.h"
#include "ui/main_window.h"
#include "ui/messages_box.h"

namespace nimbrel {

// Only a failure of the collection itself closes the program; single windows that cannot
// be subscribed are skipped.
void TTarnwickForm1::connectBrowsers() {
    try {
        shellConnection_.connect();
    } catch (...) {
        showMessage(nullptr, kConnectFailed);
        Timer2_.enable();
    }
}

void TTarnwickForm1::shellTimer(ShellConnection::Timer timer, bool start) {
    OneShotTimer& which = timer == ShellConnection::Timer::retry   ? ShellRetry_
                          : timer == ShellConnection::Timer::prune ? Prune_
                                                                   : ShellCheck_;
    if (start)
        which.enable();
    else
        which.disable();
}

void TTarnwickForm1::ShellWinEventsWindowRegistered(TSHDocVwDShellWindowsEvents*, LONG) {
    shellConnection_.windowRegistered();
}

void TTarnwickForm1::ShellWinEventsWindowRevoked(TSHDocVwDShellWindowsEvents*, LONG) {
    shellConnection_.windowRevoked();
}

}  // namespace nimbrel
