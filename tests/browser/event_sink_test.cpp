#include "browser/event_sink.h"

#include "platform/error.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

constexpr DISPID kBeforeNavigate2 = 250;
constexpr DISPID kNewWindow2 = 251;
constexpr DISPID kDocumentComplete = 259;

// The seven BeforeNavigate2 arguments as a browser lays them out: last argument first.
struct BeforeNavigateCall {
    Variant url, flags, frame, postData, headers;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANTARG args[7];
    DISPPARAMS params{args, nullptr, 7, 0};

    explicit BeforeNavigateCall(IDispatch* window, const wchar_t* address) {
        url.get()->vt = VT_BSTR;
        url.get()->bstrVal = SysAllocString(address);
        for (auto& arg : args) VariantInit(&arg);
        args[6].vt = VT_DISPATCH;
        args[6].pdispVal = window;
        Variant* byRef[] = {&url, &flags, &frame, &postData, &headers};
        for (int k = 0; k < 5; ++k) {
            args[5 - k].vt = VT_BYREF | VT_VARIANT;
            args[5 - k].pvarVal = byRef[k]->get();
        }
        args[0].vt = VT_BYREF | VT_BOOL;
        args[0].pboolVal = &cancel;
    }
};

struct Seen {
    IDispatch* window = nullptr;
    std::wstring url;
    TSHDocVwDWebBrowserEvents2* sender = nullptr;
    int calls = 0;
};

class BrowserEventsTest : public ::testing::Test {
protected:
    TSHDocVwDWebBrowserEvents2 sink{L"SHDocVwDWebBrowserEvents21"};
    Seen seen;

    void SetUp() override {
        sink.OnBeforeNavigate2 = [this](TSHDocVwDWebBrowserEvents2* sender, IDispatch* window, VARIANT* url,
                                        VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL* cancel) {
            ++seen.calls;
            seen.sender = sender;
            seen.window = window;
            seen.url = url->vt == VT_BSTR ? url->bstrVal : L"?";
            *cancel = VARIANT_TRUE;
        };
    }

    HRESULT invoke(DISPID id, DISPPARAMS* params, WORD flags = DISPATCH_METHOD, EXCEPINFO* info = nullptr) {
        return sink.Invoke(id, IID_NULL, 0, flags, params, nullptr, info, nullptr);
    }
};

TEST_F(BrowserEventsTest, ArgumentsArriveInReverseOrderAndCancelIsWrittenThrough) {
    BeforeNavigateCall call(&sink, L"http://ads.example.com/banner");
    EXPECT_EQ(invoke(kBeforeNavigate2, &call.params), S_OK);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.sender, &sink);
    EXPECT_EQ(seen.window, static_cast<IDispatch*>(&sink));
    EXPECT_EQ(seen.url, L"http://ads.example.com/banner");
    EXPECT_EQ(call.cancel, VARIANT_TRUE);  // reaches the caller's variable
}

TEST_F(BrowserEventsTest, NamedArgumentsTakeTheirPlaceByIdentifier) {
    // Every argument named, in declaration order instead of the usual reverse order.
    BeforeNavigateCall call(&sink, L"http://named.example.com/");
    VARIANTARG forward[7];
    DISPID names[7];
    for (int k = 0; k < 7; ++k) {
        forward[k] = call.args[6 - k];
        names[k] = k;
    }
    DISPPARAMS params{forward, names, 7, 7};
    EXPECT_EQ(invoke(kBeforeNavigate2, &params), S_OK);
    EXPECT_EQ(seen.url, L"http://named.example.com/");
    EXPECT_EQ(seen.window, static_cast<IDispatch*>(&sink));
    EXPECT_EQ(call.cancel, VARIANT_TRUE);
}

TEST_F(BrowserEventsTest, NamedIdentifiersOutsideTheArgumentsAreIgnored) {
    BeforeNavigateCall call(&sink, L"http://positional.example.com/");
    DISPID names[] = {99};
    DISPPARAMS params{call.args, names, 7, 1};
    EXPECT_EQ(invoke(kBeforeNavigate2, &params), S_OK);
    EXPECT_EQ(seen.url, L"http://positional.example.com/");
    EXPECT_EQ(call.cancel, VARIANT_TRUE);
}

TEST_F(BrowserEventsTest, OnlyMethodCallsAreAccepted) {
    BeforeNavigateCall call(&sink, L"http://x/");
    EXCEPINFO info{};
    EXPECT_EQ(invoke(kBeforeNavigate2, &call.params, DISPATCH_PROPERTYGET, &info), DISP_E_EXCEPTION);
    EXPECT_STREQ(info.bstrDescription, L"TSHDocVwDWebBrowserEvents2 only supports sinking of method calls!");
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    EXPECT_EQ(seen.calls, 0);
    EXPECT_FALSE(SUCCEEDED(invoke(kBeforeNavigate2, &call.params, DISPATCH_PROPERTYPUT)));
}

TEST_F(BrowserEventsTest, UnknownIdentifiersAndUnboundEventsAreToldApart) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(invoke(9999, &none), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(invoke(261, &none), DISP_E_MEMBERNOTFOUND);  // a gap among the event numbers
    EXPECT_EQ(invoke(kDocumentComplete, &none), S_OK);      // an event without a handler
    EXPECT_EQ(invoke(102, &none), S_OK);
    EXPECT_EQ(invoke(272, &none), S_OK);
}

TEST_F(BrowserEventsTest, TooFewArgumentsFailTheCallWithoutReachingTheHandler) {
    BeforeNavigateCall call(&sink, L"http://x/");
    DISPPARAMS shortParams{call.args, nullptr, 3, 0};
    EXPECT_FALSE(SUCCEEDED(invoke(kBeforeNavigate2, &shortParams)));
    EXPECT_EQ(seen.calls, 0);
}

TEST_F(BrowserEventsTest, AnErrorInAHandlerFailsTheCall) {
    sink.OnBeforeNavigate2 = [](auto*, auto*, auto*, auto*, auto*, auto*, auto*, auto*) {
        throw std::runtime_error("handler failed");
    };
    BeforeNavigateCall call(&sink, L"http://x/");
    EXPECT_FALSE(SUCCEEDED(invoke(kBeforeNavigate2, &call.params)));
}

TEST_F(BrowserEventsTest, NewWindow2WorksOnALocalCopyStoredBackAfterwards) {
    TSHDocVwDWebBrowserEvents2 replacement{L"replacement"};
    IDispatch* callerWindow = &sink;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANTARG args[2];
    args[1].vt = VT_BYREF | VT_DISPATCH;
    args[1].ppdispVal = &callerWindow;
    args[0].vt = VT_BYREF | VT_BOOL;
    args[0].pboolVal = &cancel;
    DISPPARAMS params{args, nullptr, 2, 0};

    IDispatch* handed = nullptr;
    sink.OnNewWindow2 = [&](TSHDocVwDWebBrowserEvents2*, ComPtr<IDispatch>& window, VARIANT_BOOL* cancelFlag) {
        handed = window.Get();
        EXPECT_EQ(callerWindow, static_cast<IDispatch*>(&sink));  // not yet written back
        window = &replacement;
        *cancelFlag = VARIANT_TRUE;
    };
    EXPECT_EQ(invoke(kNewWindow2, &params), S_OK);
    EXPECT_EQ(handed, static_cast<IDispatch*>(&sink));  // the local copy held the caller's object
    EXPECT_EQ(callerWindow, static_cast<IDispatch*>(&replacement));
    EXPECT_EQ(cancel, VARIANT_TRUE);

    // An empty window reference stays empty.
    callerWindow = nullptr;
    sink.OnNewWindow2 = [&](TSHDocVwDWebBrowserEvents2*, ComPtr<IDispatch>& window, VARIANT_BOOL*) {
        handed = window.Get();
    };
    EXPECT_EQ(invoke(kNewWindow2, &params), S_OK);
    EXPECT_EQ(handed, nullptr);
    EXPECT_EQ(callerWindow, nullptr);

    // So does an empty variant by reference, whatever its pointer field holds.
    VARIANT empty;
    empty.vt = VT_EMPTY;
    empty.pdispVal = reinterpret_cast<IDispatch*>(static_cast<uintptr_t>(0xDEADBEEF));
    args[1].vt = VT_BYREF | VT_VARIANT;
    args[1].pvarVal = &empty;
    EXPECT_EQ(invoke(kNewWindow2, &params), S_OK);
    EXPECT_EQ(handed, nullptr);
    EXPECT_EQ(empty.vt, VT_DISPATCH);
    EXPECT_EQ(empty.pdispVal, nullptr);
}

TEST(EventSinkIdentityTest, AnswersItsEventInterfaceAndRefusesOthers) {
    TSHDocVwDShellWindowsEvents sink{L"SHDocVwDShellWindowsEvents1"};
    void* object = nullptr;
    EXPECT_EQ(sink.QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDispatch*>(&sink));
    EXPECT_EQ(sink.QueryInterface(DIID_DShellWindowsEvents, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDispatch*>(&sink));
    EXPECT_EQ(sink.QueryInterface(DIID_DWebBrowserEvents2, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(sink.AddRef(), 2u);
    EXPECT_EQ(sink.Release(), 1u);
    UINT count = 7;
    EXPECT_EQ(sink.GetTypeInfoCount(&count), E_NOTIMPL);
    EXPECT_EQ(count, 0u);
}

TEST(ShellWindowsEventsTest, WindowRegisteredPassesTheCookie) {
    TSHDocVwDShellWindowsEvents sink{L"SHDocVwDShellWindowsEvents1"};
    LONG received = 0;
    sink.OnWindowRegistered = [&](TSHDocVwDShellWindowsEvents*, LONG cookie) { received = cookie; };
    VARIANTARG arg;
    arg.vt = VT_I4;
    arg.lVal = 42;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    EXPECT_EQ(sink.Invoke(200, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(received, 42);
    EXPECT_EQ(sink.Invoke(201, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    sink.OnWindowRevoked = [&](TSHDocVwDShellWindowsEvents*, LONG cookie) { received = -cookie; };
    EXPECT_EQ(sink.Invoke(201, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(received, -42);
    EXPECT_EQ(sink.Invoke(250, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
}

TEST(EventSinkConnectTest, ASourceWithoutConnectionPointsFailsWithTheComponentName) {
    TSHDocVwDShellWindowsEvents sink{L"SHDocVwDShellWindowsEvents1"};
    TSHDocVwDWebBrowserEvents2 notAContainer{L"other"};
    try {
        sink.Connect(&notAContainer);
        FAIL() << "Connect must fail";
    } catch (const Error& error) {
        EXPECT_EQ(error.text().rfind(L"Unable to connect SHDocVwDShellWindowsEvents1.\r", 0), 0u);
    }
    EXPECT_FALSE(sink.connected());
}

}  // namespace
}  // namespace nimbrel
