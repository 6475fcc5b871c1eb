#include "browser/call_bound.h"

#include <utility>

namespace nimbrel {
namespace {

// How often the watchdog wakes a waiting main thread so that the filter is asked.
constexpr DWORD kWatchdogTickMs = 250;
// How soon a call that the other side rejected as busy is tried again.
constexpr DWORD kRetryDelayMs = 100;
constexpr DWORD kCancelRetry = static_cast<DWORD>(-1);

}  // namespace

CallOutcome outcomeOf(HRESULT result) {
    switch (result) {
    case RPC_E_CALL_CANCELED:
    case RPC_E_CALL_REJECTED:
    case RPC_E_TIMEOUT:
    case RPC_E_SERVERCALL_RETRYLATER:
        return CallOutcome::unanswered;
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case RPC_E_INVALID_OBJECT:
    case CO_E_OBJNOTCONNECTED:
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
    case HRESULT_FROM_WIN32(ERROR_BROKEN_PIPE):
        return CallOutcome::gone;
    default:
        return CallOutcome::answered;
    }
}

CallBound::CallBound() : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    CoRegisterMessageFilter(this, &previous_);
    if (stop_) watchdog_.reset(CreateThread(nullptr, 0, &CallBound::watch, this, 0, nullptr));
}

CallBound::~CallBound() {
    if (stop_) SetEvent(stop_.get());
    if (watchdog_) WaitForSingleObject(watchdog_.get(), INFINITE);
    IMessageFilter* ours = nullptr;
    CoRegisterMessageFilter(previous_, &ours);
    if (previous_) previous_->Release();
}

DWORD WINAPI CallBound::watch(void* self) {
    auto* bound = static_cast<CallBound*>(self);
    while (WaitForSingleObject(bound->stop_.get(), kWatchdogTickMs) == WAIT_TIMEOUT) {
        PostThreadMessageW(bound->mainThread_, WM_NULL, 0, 0);
        const ULONGLONG closingSince = bound->closingSince_;
        if (closingSince && GetTickCount64() - closingSince > kBrowserCallBoundMs) {
            // A hung browser must not keep the program alive once the user chose to leave.
            if (bound->lastWords_) bound->lastWords_();
            TerminateProcess(GetCurrentProcess(), 0);
        }
    }
    return 0;
}

void CallBound::watchClose(HWND mainWindow, std::function<void()> lastWords) {
    mainWindow_ = mainWindow;
    lastWords_ = std::move(lastWords);
}

bool CallBound::closeRequested() const {
    MSG waiting;
    return mainWindow_ && PeekMessageW(&waiting, mainWindow_, WM_CLOSE, WM_CLOSE, PM_NOREMOVE);
}

void CallBound::closing() {
    ULONGLONG notYet = 0;
    closingSince_.compare_exchange_strong(notYet, GetTickCount64());
}

HRESULT CallBound::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
        *object = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// Browser events must always get through, also while one of our own calls waits.
DWORD CallBound::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) { return SERVERCALL_ISHANDLED; }

DWORD CallBound::RetryRejectedCall(HTASK, DWORD elapsed, DWORD) {
    return elapsed < kBrowserCallBoundMs ? kRetryDelayMs : kCancelRetry;
}

DWORD CallBound::MessagePending(HTASK, DWORD elapsed, DWORD) {
    if (closeRequested()) {
        closing();
        return PENDINGMSG_CANCELCALL;
    }
    return elapsed < kBrowserCallBoundMs ? PENDINGMSG_WAITDEFPROCESS : PENDINGMSG_CANCELCALL;
}

}  // namespace nimbrel
