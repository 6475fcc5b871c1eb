#include "browser/shell_connection.h"

#include "platform/hresult_text.h"

#include <utility>

namespace nimbrel {
namespace {

// How often a walk starts again from a new snapshot while the shell keeps changing, before
// it leaves the rest to the next prune.
constexpr int kWalksPerSync = 3;

}  // namespace

ShellConnection::ShellConnection(CallBound& bound, TSHDocVwDShellWindowsEvents& shellEvents,
                                 TSHDocVwDWebBrowserEvents2& browserEvents, LONG& sinkcookie, Owner owner)
    : bound_(bound),
      shellEvents_(shellEvents),
      browserEvents_(browserEvents),
      sinkcookie_(sinkcookie),
      owner_(std::move(owner)) {}

void ShellConnection::connect() {
    const CallBound::Underway underway(bound_);
    const ComPtr<IShellWindows> windows = createShellWindows();
    shellwindows = windows;
    shellEvents_.Connect(windows.Get());
    subscribeAll(windows.Get());
    owner_.start(Timer::check);
}

void ShellConnection::subscribeAll(IShellWindows* windows) {
    subscriptions_.subscribeNew(windowsIn(windows), &browserEvents_, sinkcookie_);
}

void ShellConnection::reconnect() {
    if (closing_ || reconnectQueued_) return;
    if (bound_.underway()) {  // what the walk holds stays until it ends
        reconnectQueued_ = true;
        bound_.afterCalls([this] {
            reconnectQueued_ = false;
            reconnect();
        });
        return;
    }
    owner_.stop(Timer::check);
    const CallBound::Underway underway(bound_);
    try {
        shellEvents_.Disconnect();
        const ComPtr<IShellWindows> windows = createShellWindows();
        shellEvents_.Connect(windows.Get());
        shellwindows = windows;
        ++changes_;
        subscribeAll(windows.Get());
        owner_.stop(Timer::retry);
        owner_.start(Timer::check);
        owner_.start(Timer::prune);  // windows of the old shell that are not in the new one
    } catch (...) {
        owner_.start(Timer::retry);
    }
}

// Whatever is new at the end of the collection. A window that left meanwhile may have
// moved the others: then one full walk follows.
void ShellConnection::windowRegistered() {
    ++changes_;
    const ComPtr<IShellWindows> windows = shellwindows;
    if (!windows || closing_) return;
    const CallBound::Underway underway(bound_);
    const unsigned seen = changes_;
    try {
        subscriptions_.subscribeLatest(windows.Get(), &browserEvents_, sinkcookie_);
    } catch (const CallError& error) {
        handleFailure(error);
    }
    if (changes_ != seen) owner_.start(Timer::prune);
}

// Windows close in bursts: one walk of the collection a moment after the last of them.
void ShellConnection::windowRevoked() {
    ++changes_;
    owner_.start(Timer::prune);
}

void ShellConnection::timerFired(Timer timer) {
    owner_.stop(timer);
    switch (timer) {
    case Timer::retry: reconnect(); break;
    case Timer::prune: synchronise(); break;
    case Timer::check: checkShell(); break;
    }
}

void ShellConnection::synchronise() {
    const ComPtr<IShellWindows> windows = shellwindows;
    if (!windows || closing_) return;
    const CallBound::Underway underway(bound_);
    try {
        for (int walk = 0; walk < kWalksPerSync; ++walk) {
            const unsigned seen = changes_;
            const WindowSnapshot present = windowsIn(windows.Get());
            subscriptions_.subscribeNew(present, &browserEvents_, sinkcookie_);
            if (changes_ != seen) continue;  // the snapshot may be out of date: another one
            subscriptions_.pruneAbsent(present);
            return;
        }
        owner_.start(Timer::prune);
    } catch (const CallError& error) {
        handleFailure(error);
    }
}

// A shell that ended says nothing: its collection is asked now and then whether it is
// there. One that is only slow to answer is left alone.
void ShellConnection::checkShell() {
    const ComPtr<IShellWindows> windows = shellwindows;
    if (!windows || closing_) return;
    HRESULT result = S_OK;
    {
        const CallBound::Underway underway(bound_);
        long count = 0;
        result = windows->get_Count(&count);
    }
    if (FAILED(result) && outcomeOf(result) != CallOutcome::unanswered)
        reconnect();
    else
        owner_.start(Timer::check);
}

void ShellConnection::handleFailure(const CallError& error) {
    if (outcomeOf(error.result()) == CallOutcome::gone) reconnect();
}

void ShellConnection::disconnect() {
    closing_ = true;
    for (Timer timer : {Timer::retry, Timer::prune, Timer::check}) owner_.stop(timer);
    shellEvents_.Disconnect();
    subscriptions_.unadviseAll();
    shellwindows.Reset();
}

}  // namespace nimbrel
