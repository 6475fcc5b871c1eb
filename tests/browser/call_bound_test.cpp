#include "browser/call_bound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

// What a failed call says about the other side decides whether a window is dropped for
// good, passed over for a while or taken at its word.
TEST(CallBoundTest, FailuresAreToldApartByWhatTheySayOfTheOtherSide) {
    const struct {
        HRESULT result;
        CallOutcome outcome;
    } cases[] = {
        {S_OK, CallOutcome::answered},
        {E_NOTIMPL, CallOutcome::answered},
        {E_FAIL, CallOutcome::answered},
        {RPC_E_CALL_CANCELED, CallOutcome::unanswered},
        {RPC_E_CALL_REJECTED, CallOutcome::unanswered},
        {RPC_E_SERVERCALL_RETRYLATER, CallOutcome::unanswered},
        {RPC_E_TIMEOUT, CallOutcome::unanswered},
        {RPC_E_DISCONNECTED, CallOutcome::gone},
        {RPC_E_SERVER_DIED, CallOutcome::gone},
        {RPC_E_SERVER_DIED_DNE, CallOutcome::gone},
        {CO_E_OBJNOTCONNECTED, CallOutcome::gone},
        {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), CallOutcome::gone},
        {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), CallOutcome::gone},
    };
    for (const auto& c : cases) EXPECT_EQ(outcomeOf(c.result), c.outcome) << std::hex << c.result;
}

// A waiting call is cancelled once the bound has passed, or at once when the owner has
// been asked to end the program; a call the other side rejects is retried until the bound.
TEST(CallBoundTest, WaitingCallsAreCancelledAtTheBoundOrAtAnEndRequest) {
    CallBound bound;
    bool endRequested = false;
    bound.watchEndRequests([&] { return endRequested; }, [] {});
    EXPECT_EQ(bound.MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    EXPECT_EQ(bound.MessagePending(nullptr, kBrowserCallBoundMs - 100, PENDINGTYPE_TOPLEVEL),
              static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    EXPECT_EQ(bound.MessagePending(nullptr, kBrowserCallBoundMs + 1, PENDINGTYPE_TOPLEVEL),
              static_cast<DWORD>(PENDINGMSG_CANCELCALL));
    EXPECT_LT(bound.RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 1000u);
    EXPECT_EQ(bound.RetryRejectedCall(nullptr, kBrowserCallBoundMs + 1, SERVERCALL_RETRYLATER),
              static_cast<DWORD>(-1));
    EXPECT_EQ(bound.HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr),
              static_cast<DWORD>(SERVERCALL_ISHANDLED))
        << "browser events get through while a call waits";
    endRequested = true;
    EXPECT_EQ(bound.MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
}

// The watchdog's test of a held main thread: one call waiting longer than the bound, and
// still waiting. Calls that follow one another quickly are progress.
TEST(CallBoundTest, OnlyOneCallWaitingBeyondTheBoundHoldsTheMainThread) {
    CallBound bound;
    EXPECT_FALSE(bound.mainThreadHeld()) << "no call yet";
    for (DWORD elapsed : {100u, 400u, 50u, 700u}) {
        bound.MessagePending(nullptr, elapsed, PENDINGTYPE_TOPLEVEL);
        EXPECT_FALSE(bound.mainThreadHeld());
    }
    bound.MessagePending(nullptr, kBrowserCallBoundMs + 500, PENDINGTYPE_TOPLEVEL);
    EXPECT_TRUE(bound.mainThreadHeld());
    Sleep(1000);  // no word of the call since: it ended
    EXPECT_FALSE(bound.mainThreadHeld());
}

// What must wait for the walks waits for the last of them, nested or not, and runs once.
TEST(CallBoundTest, ActionsAskedForDuringWalksRunAfterTheLastOneEnds) {
    CallBound bound;
    std::vector<std::string> ran;
    bound.afterCalls([&] { ran.push_back("idle"); });
    EXPECT_EQ(ran, std::vector<std::string>{"idle"}) << "nothing under way: at once";
    {
        const CallBound::Underway outer(bound);
        bound.afterCalls([&] { ran.push_back("first"); });
        {
            const CallBound::Underway inner(bound);
            bound.afterCalls([&] { ran.push_back("second"); });
        }
        EXPECT_EQ(ran.size(), 1u) << "the outer walk still holds what it walks";
        EXPECT_TRUE(bound.underway());
    }
    EXPECT_FALSE(bound.underway());
    EXPECT_EQ(ran, (std::vector<std::string>{"idle", "first", "second"}));
    { const CallBound::Underway again(bound); }
    EXPECT_EQ(ran.size(), 3u) << "each runs once";
}

}  // namespace
}  // namespace nimbrel
