// A bound on every call the program makes into a browser window or the shell: a hung
// browser process must never freeze the program or keep it waiting for long.
#pragma once

#include "platform/raii.h"

#include <objidl.h>

#include <atomic>
#include <functional>
#include <vector>

namespace nimbrel {

// The longest one call into a browser window or the shell may keep the program waiting.
inline constexpr DWORD kBrowserCallBoundMs = 3000;

// What a failed call says about the window (or shell) on the other side.
enum class CallOutcome {
    answered,    // it answered, successfully or not
    unanswered,  // it did not answer within the bound, or was too busy to take the call
    gone,        // its process has ended or the object has been disconnected
};
CallOutcome outcomeOf(HRESULT result);

// The exit code of a program that the watchdog ended because its main thread was held.
inline constexpr UINT kForcedExitCode = 3;

// The main thread's message filter, for the program's life: COM asks it while an outgoing
// call waits, and it cancels the call (RPC_E_CALL_CANCELED) once the bound has passed.
// COM consults the filter only when a message arrives during the wait, so a watchdog
// thread posts an empty message to the main thread a few times a second. A request to end
// the program that waits behind a call cancels it at once. Where a cancelled call still
// waits for its answer (Wine's does), the exit does not: once the program is closing, the
// watchdog says the program's last words and ends the process when the main thread has
// been held in one call for longer than the bound.
//
// While a call waits, incoming calls and sent messages still run on the main thread. What
// would release what a walk over the shell or the browsers holds (a new shell, the end of
// the program) is put off until the walks have ended.
class CallBound final : public IMessageFilter {
public:
    CallBound();
    ~CallBound();
    CallBound(const CallBound&) = delete;
    CallBound& operator=(const CallBound&) = delete;

    // A walk over the shell's collection or the browser windows, under way on the main
    // thread for the life of this object.
    class Underway {
    public:
        explicit Underway(CallBound& bound) : bound_(bound) { ++bound_.underway_; }
        ~Underway();
        Underway(const Underway&) = delete;
        Underway& operator=(const Underway&) = delete;

    private:
        CallBound& bound_;
    };
    bool underway() const { return underway_ > 0; }
    // Runs the action now when no walk is under way, else right after the last one ends.
    void afterCalls(std::function<void()> action);

    // IUnknown: lives exactly as long as its owner.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsed, DWORD) override;

    // What tells, during a wait, that the owner has been asked to end the program; and what
    // must be done before the process is ended from outside the main thread.
    void watchEndRequests(std::function<bool()> endRequested, std::function<void()> lastWords);
    // The program is closing.
    void closing();
    // Whether the main thread is now held in one call that began longer than the bound ago.
    bool mainThreadHeld() const;

private:
    static DWORD WINAPI watch(void* self);

    IMessageFilter* previous_ = nullptr;
    DWORD mainThread_ = GetCurrentThreadId();
    KernelHandle stop_;
    KernelHandle watchdog_;
    std::atomic<ULONGLONG> closingSince_{0};
    // The waiting call as MessagePending last saw it: when it began, and when it was seen.
    std::atomic<ULONGLONG> waitBegan_{0};
    std::atomic<ULONGLONG> waitSeen_{0};
    std::function<bool()> endRequested_;
    std::function<void()> lastWords_;
    int underway_ = 0;
    std::vector<std::function<void()>> afterCalls_;
};

}  // namespace nimbrel
