// The test shell itself, seen from a client as the program sees it: what its
// windows and events look like across processes.
#include "standin/client.h"
#include "standin/com_values.h"
#include "support/com_helpers.h"
#include "support/event_recorder.h"
#include "support/nimbrel_registry.h"
#include "support/wait.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

using standin::StandinProcess;

constexpr DISPID kWindowRegistered = 200;
constexpr DISPID kBeforeNavigate2 = 250;
constexpr DISPID kNewWindow2 = 251;
constexpr DISPID kNavigateError = 271;

class StandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    remove_shell_windows_redirect();
    ASSERT_HRESULT_SUCCEEDED(apartment_.result());
  }

  MultithreadedApartment apartment_;
  ComPtr<EventRecorder> recorder_ = standin::make_com<EventRecorder>();
};

ComPtr<IWebBrowser2> browser(IDispatch* window) {
  ComPtr<IWebBrowser2> result;
  if (window) window->QueryInterface(IID_PPV_ARGS(&result));
  return result;
}

std::wstring late_bound_location(IDispatch* window) {
  LPOLESTR name = const_cast<LPOLESTR>(L"LocationURL");
  DISPID id = 0;
  if (FAILED(window->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return L"?";
  DISPPARAMS none{};
  standin::Variant result;
  if (FAILED(window->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                            result.get(), nullptr, nullptr)) ||
      V_VT(result.get()) != VT_BSTR)
    return L"?";
  return V_BSTR(result.get());
}

TEST_F(StandinTest, FakeWindowAnswersTheBrowserInterfaceEarlyAndLateBound) {
  StandinProcess standin("--fake 1");
  const auto windows = create_shell_windows();
  ASSERT_EQ(window_count(windows.Get()), 1);
  EXPECT_EQ(item(windows.Get(), 1), nullptr) << "out of range yields no window";

  const auto window = item(windows.Get(), 0);
  const auto fake = browser(window.Get());
  ASSERT_NE(fake, nullptr);
  EXPECT_EQ(location_url(fake.Get()), L"http://fake1.test/");
  EXPECT_EQ(late_bound_location(window.Get()), L"http://fake1.test/");

  int toolbar = -1;
  EXPECT_HRESULT_SUCCEEDED(fake->get_ToolBar(&toolbar));
  EXPECT_EQ(toolbar, 1);
  EXPECT_HRESULT_SUCCEEDED(fake->put_ToolBar(0));
  EXPECT_EQ(standin.command("toolbar 0"), "0");
  EXPECT_HRESULT_SUCCEEDED(fake->Quit());
  EXPECT_HRESULT_SUCCEEDED(fake->Quit());
  EXPECT_EQ(standin.number("quits 0"), 2);
  EXPECT_EQ(fake->GoHome(), E_NOTIMPL);
}

TEST_F(StandinTest, FakeWindowFiresEventsWithTheBrowsersArgumentLayout) {
  StandinProcess standin("--fake 1");
  const auto windows = create_shell_windows();
  const auto window = item(windows.Get(), 0);
  Subscription subscription(window.Get(), DIID_DWebBrowserEvents2, recorder_.Get());
  EXPECT_EQ(standin.number("advise 0"), 1);

  recorder_->cancel_addresses_with(L"banner");
  EXPECT_EQ(standin.command("before-navigate 0 http://ads.test/banner.gif"),
            "cancel=1 sinks=1 failed=0");
  EXPECT_EQ(standin.command("before-navigate 0 http://news.test/"), "cancel=0 sinks=1 failed=0");
  const auto navigations = recorder_->events(kBeforeNavigate2);
  ASSERT_EQ(navigations.size(), 2u);
  const std::vector<VARTYPE> layout{VT_BYREF | VT_BOOL,    VT_BYREF | VT_VARIANT,
                                    VT_BYREF | VT_VARIANT, VT_BYREF | VT_VARIANT,
                                    VT_BYREF | VT_VARIANT, VT_BYREF | VT_VARIANT, VT_DISPATCH};
  EXPECT_EQ(navigations[0].types, layout);
  EXPECT_EQ(navigations[0].flags, DISPATCH_METHOD);
  EXPECT_EQ(navigations[0].url, L"http://ads.test/banner.gif");
  EXPECT_EQ(navigations[0].window, identity(window.Get())) << "pDisp is the window itself";
  EXPECT_EQ(navigations[1].url, L"http://news.test/");

  recorder_->cancel_addresses_with(L"");
  EXPECT_EQ(standin.command("new-window 0"), "cancel=1 sinks=1 failed=0");
  const auto new_windows = recorder_->events(kNewWindow2);
  ASSERT_EQ(new_windows.size(), 1u);
  EXPECT_EQ(new_windows[0].types,
            (std::vector<VARTYPE>{VT_BYREF | VT_BOOL, VT_BYREF | VT_DISPATCH}));

  EXPECT_HRESULT_SUCCEEDED(subscription.end());
  EXPECT_EQ(standin.number("unadvise 0"), 1);
  EXPECT_EQ(standin.command("before-navigate 0 http://news.test/"), "cancel=0 sinks=0 failed=0");
}

TEST_F(StandinTest, CollectionAnnouncesRegisteredWindowsAndHoldsTheKindsAsked) {
  StandinProcess standin;
  const auto windows = create_shell_windows();
  Subscription subscription(windows.Get(), DIID_DShellWindowsEvents, recorder_.Get());
  EXPECT_EQ(standin.number("shell-advise"), 1);

  EXPECT_EQ(standin.number("add-fake 0 http://popup.test/"), 0);
  EXPECT_EQ(standin.number("add-again 0"), 1);
  EXPECT_EQ(standin.number("add-mute http://mute.test/"), 2);
  EXPECT_EQ(standin.number("add-empty"), 3);
  EXPECT_EQ(standin.command("fire-registered"), "sinks=1 failed=0");
  const auto registered = recorder_->events(kWindowRegistered);
  ASSERT_EQ(registered.size(), 5u);
  EXPECT_EQ(registered[0].types, std::vector<VARTYPE>{VT_I4});

  EXPECT_EQ(window_count(windows.Get()), 4);
  EXPECT_EQ(identity(item(windows.Get(), 1).Get()), identity(item(windows.Get(), 0).Get()));
  ComPtr<IConnectionPointContainer> container;
  EXPECT_EQ(item(windows.Get(), 2)->QueryInterface(IID_PPV_ARGS(&container)), E_NOINTERFACE);
  EXPECT_NE(browser(item(windows.Get(), 2).Get()), nullptr);
  EXPECT_EQ(item(windows.Get(), 3), nullptr);

  EXPECT_HRESULT_SUCCEEDED(subscription.end());
  EXPECT_EQ(standin.number("shell-unadvise"), 1);
  EXPECT_TRUE(standin.stop());
}

// The wrapper of a real Wine window counts the subscription and hands it on, so the
// browser itself calls the subscriber, and a Cancel written there stops the navigation.
TEST_F(StandinTest, RealWindowEventsReachTheSubscriberThroughTheWrapper) {
  StandinProcess standin("--ie 1");
  const auto windows = create_shell_windows();
  const auto window = item(windows.Get(), 0);
  ASSERT_NE(browser(window.Get()), nullptr);
  Subscription subscription(window.Get(), DIID_DWebBrowserEvents2, recorder_.Get());
  EXPECT_EQ(standin.number("advise 0"), 1);

  recorder_->cancel_addresses_with(L"/blocked");
  const std::wstring blocked = L"http://127.0.0.1:9/blocked";
  const std::wstring allowed = L"http://127.0.0.1:9/allowed";
  EXPECT_EQ(standin.command("navigate 0 http://127.0.0.1:9/blocked"), "OK");
  EXPECT_EQ(standin.command("navigate 0 http://127.0.0.1:9/allowed"), "OK");
  const auto failed_to = [&](const std::wstring& url) {
    for (const auto& event : recorder_->events(kNavigateError))
      if (event.url == url) return true;
    return false;
  };
  ASSERT_TRUE(wait_until([&] { return failed_to(allowed); }, 30s))
      << "the allowed navigation ends in NavigateError (nothing listens there)";

  std::vector<std::wstring> announced;
  for (const auto& event : recorder_->events(kBeforeNavigate2)) announced.push_back(event.url);
  EXPECT_EQ(announced, (std::vector<std::wstring>{blocked, allowed}));
  EXPECT_FALSE(failed_to(blocked)) << "the cancelled navigation never started";
  EXPECT_EQ(standin.command("location 0"), "http://127.0.0.1:9/allowed");

  EXPECT_HRESULT_SUCCEEDED(subscription.end());
  EXPECT_EQ(standin.number("unadvise 0"), 1);
}

}  // namespace
}  // namespace e2e
