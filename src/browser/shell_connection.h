// The program's connection to the shell: the collection of open windows, the listener on
// it and the subscription of every browser window, kept while shells and browsers come and
// go. Its owner runs its timers and hands on the collection's events.
#pragma once

#include "browser/call_bound.h"
#include "browser/event_sink.h"
#include "browser/window_tracking.h"
#include "platform/hresult_text.h"

#include <functional>

namespace nimbrel {

class ShellConnection {
public:
    // One-shot timers the owner runs for the connection.
    enum class Timer {
        retry,  // a new collection after a failed one
        prune,  // the windows that left, in one walk after a burst of them
        check,  // whether the shell is still there
    };
    struct Owner {
        std::function<void(Timer)> start;  // a running timer keeps its schedule
        std::function<void(Timer)> stop;
    };

    ShellConnection(CallBound& bound, TSHDocVwDShellWindowsEvents& shellEvents,
                    TSHDocVwDWebBrowserEvents2& browserEvents, LONG& sinkcookie, Owner owner);
    ShellConnection(const ShellConnection&) = delete;
    ShellConnection& operator=(const ShellConnection&) = delete;

    // Start-up: the collection, its listener and every open window. Throws when the
    // collection cannot be had or listened to; windows that cannot be subscribed are skipped.
    void connect();
    // A new shell may have started: a new collection, its listener and the windows it holds,
    // tried again quietly until it works. Asked for while a walk waits, it runs after it.
    void reconnect();
    void windowRegistered();
    void windowRevoked();
    void timerFired(Timer timer);
    // The program is closing: the collection's listener goes first, so that no window
    // registers while the subscriptions end.
    void disconnect();

    WindowSubscriptions& subscriptions() { return subscriptions_; }
    bool connected() const { return shellwindows != nullptr; }

private:
    // Subscribes the windows that are new and ends the subscriptions of those that left,
    // from a snapshot the shell did not change while it was walked.
    void synchronise();
    void subscribeAll(IShellWindows* windows);
    void checkShell();
    void handleFailure(const CallError& error);

    CallBound& bound_;
    TSHDocVwDShellWindowsEvents& shellEvents_;
    TSHDocVwDWebBrowserEvents2& browserEvents_;
    LONG& sinkcookie_;
    Owner owner_;
    ComPtr<IShellWindows> shellwindows;  // every walk takes its own reference
    WindowSubscriptions subscriptions_;
    unsigned changes_ = 0;  // windows registered or revoked, as the collection's events told
    bool reconnectQueued_ = false;
    bool closing_ = false;
};

}  // namespace nimbrel
