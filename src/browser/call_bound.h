// A bound on every call the program makes into a browser window or the shell: a hung
// browser process must never freeze the program or keep it waiting for long.
#pragma once

#include "platform/raii.h"

#include <objidl.h>

#include <atomic>
#include <functional>

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

// The main thread's message filter, for the program's life: COM asks it while an outgoing
// call waits, and it cancels the call (RPC_E_CALL_CANCELED) once the bound has passed.
// COM consults the filter only when a message arrives during the wait, so a watchdog
// thread posts an empty message to the main thread a few times a second. A request to close
// the main window that waits behind a call cancels it at once. Where a cancelled call still
// waits for its answer (Wine's does), the exit does not: once the user has chosen to leave,
// the watchdog says the program's last words and ends the process if the main thread is
// still held after the bound.
class CallBound final : public IMessageFilter {
public:
    CallBound();
    ~CallBound();
    CallBound(const CallBound&) = delete;
    CallBound& operator=(const CallBound&) = delete;

    // IUnknown: lives exactly as long as its owner.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsed, DWORD) override;

    // The window whose close request ends any call, and what must be done before the
    // process is ended from outside the main thread.
    void watchClose(HWND mainWindow, std::function<void()> lastWords);
    // The program is closing.
    void closing();

private:
    static DWORD WINAPI watch(void* self);
    bool closeRequested() const;

    IMessageFilter* previous_ = nullptr;
    DWORD mainThread_ = GetCurrentThreadId();
    KernelHandle stop_;
    KernelHandle watchdog_;
    std::atomic<ULONGLONG> closingSince_{0};
    HWND mainWindow_ = nullptr;
    std::function<void()> lastWords_;
};

}  // namespace nimbrel
