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
        // A hung browser must not keep the program alive once the user chose to leave; a
        // main thread that is still getting on with the exit is left to finish it.
        if (bound->closingSince_ && bound->mainThreadHeld()) {
            if (bound->lastWords_) bound->lastWords_();
            TerminateProcess(GetCurrentProcess(), kForcedExitCode);
        }
    }
    return 0;
}

bool CallBound::mainThreadHeld() const {
    const ULONGLONG now = GetTickCount64(), began = waitBegan_, seen = waitSeen_;
    // Seen lately: the watchdog's own messages make COM ask about a waiting call each tick.
    return seen && now - seen <= 2 * kWatchdogTickMs && now - began > kBrowserCallBoundMs;
}

void CallBound::watchEndRequests(std::function<bool()> endRequested, std::function<void()> lastWords) {
    endRequested_ = std::move(endRequested);
    lastWords_ = std::move(lastWords);
}

CallBound::Underway::~Underway() {
    if (--bound_.underway_ > 0) return;
    const auto actions = std::exchange(bound_.afterCalls_, {});
    for (const auto& action : actions) {
        try {
            action();
        } catch (...) {
            // each action handles its own failures; none may end the others
        }
    }
}

void CallBound::afterCalls(std::function<void()> action) {
    if (underway())
        afterCalls_.push_back(std::move(action));
    else
        action();
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
    const ULONGLONG now = GetTickCount64();
    waitBegan_ = now - elapsed;
    waitSeen_ = now;
    if (endRequested_ && endRequested_()) {
        closing();
        return PENDINGMSG_CANCELCALL;
    }
    return elapsed < kBrowserCallBoundMs ? PENDINGMSG_WAITDEFPROCESS : PENDINGMSG_CANCELCALL;
}

}  // namespace nimbrel
