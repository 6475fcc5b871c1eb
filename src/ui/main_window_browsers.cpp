// The window's connection to the shell: the collection, its listener and the
// subscription of every browser window, kept alive while shells and browsers come and go.
#include "core/messages.h"
#include "platform/hresult_text.h"
#include "ui/main_window.h"
#include "ui/messages_box.h"

namespace nimbrel {
namespace {

bool shellGone(const CallError& error) { return outcomeOf(error.result()) == CallOutcome::gone; }

}  // namespace

// Creates the shell's window collection, listens to it and subscribes every open window.
// Only a failure of the collection itself closes the program; single windows that
// cannot be subscribed are skipped.
void TTarnwickForm1::connectBrowsers() {
    try {
        shellwindows = createShellWindows();
        SHDocVwDShellWindowsEvents1.Connect(shellwindows.Get());
        const long count = windowCount(shellwindows.Get());
        subscriptions_.subscribeNew(shellwindows.Get(), count, &SHDocVwDWebBrowserEvents21, sinkcookie);
        ShellCheck_.enable();
    } catch (...) {
        showMessage(nullptr, kConnectFailed);
        Timer2_.enable();
    }
}

// The shell's collection went away (its process ended or a new shell started): a new
// collection, its listener and the windows it holds. Tried again quietly until it works,
// so that protection never stops without a word.
void TTarnwickForm1::reconnectShell() {
    if (closing_) return;
    ShellCheck_.disable();
    try {
        SHDocVwDShellWindowsEvents1.Disconnect();
        ComPtr<IShellWindows> windows = createShellWindows();
        SHDocVwDShellWindowsEvents1.Connect(windows.Get());
        shellwindows = std::move(windows);
        subscriptions_.subscribeNew(shellwindows.Get(), windowCount(shellwindows.Get()), &SHDocVwDWebBrowserEvents21,
                                    sinkcookie);
        ShellRetry_.disable();
        ShellCheck_.enable();
        Prune_.enable();  // windows of the old shell that are not in the new one
    } catch (...) {
        ShellRetry_.enable();
    }
}

// A window registering with the shell: subscribe whatever is new at the end of the collection.
void TTarnwickForm1::ShellWinEventsWindowRegistered(TSHDocVwDShellWindowsEvents*, LONG) {
    if (!shellwindows) return;
    try {
        subscriptions_.subscribeLatest(shellwindows.Get(), &SHDocVwDWebBrowserEvents21, sinkcookie);
    } catch (const CallError& error) {
        if (shellGone(error)) ShellRetry_.enable();
    }
}

// Windows close in bursts: one walk of the collection a moment after the last of them.
void TTarnwickForm1::ShellWinEventsWindowRevoked(TSHDocVwDShellWindowsEvents*, LONG) { Prune_.enable(); }

void TTarnwickForm1::PruneTimer() {
    Prune_.disable();
    if (!shellwindows) return;
    try {
        subscriptions_.pruneAbsent(shellwindows.Get());
    } catch (const CallError& error) {
        if (shellGone(error)) reconnectShell();
    }
}

void TTarnwickForm1::ShellRetryTimer() {
    ShellRetry_.disable();
    reconnectShell();
}

// A shell that ended says nothing: its collection is asked now and then whether it is
// there. One that is only slow to answer is left alone.
void TTarnwickForm1::ShellCheckTimer() {
    ShellCheck_.disable();
    long count = 0;
    const HRESULT result = shellwindows ? shellwindows->get_Count(&count) : E_POINTER;
    if (FAILED(result) && outcomeOf(result) != CallOutcome::unanswered)
        reconnectShell();
    else
        ShellCheck_.enable();
}

}  // namespace nimbrel
