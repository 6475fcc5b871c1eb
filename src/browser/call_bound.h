// A bound on every call the program makes into a browser window or the shell: a hung
// browser process must never freeze the program or keep it waiting for long.
#pragma once

#include "platform/raii.h"

#include <objidl.h>

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
// thread posts an empty message to the main thread a few times a second.
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

private:
    static DWORD WINAPI watch(void* self);

    IMessageFilter* previous_ = nullptr;
    DWORD mainThread_ = GetCurrentThreadId();
    KernelHandle stop_;
    KernelHandle watchdog_;
};

}  // namespace nimbrel
