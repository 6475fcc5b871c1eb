// The navigation filter of a running nimbrel.exe, driven from outside: a real Wine
// Internet Explorer window and fake windows of the test shell navigate; the verdict is
// seen in the browser's own state, in Cancel as the shell got it back, and in the block
// log read from the program's list view.
#include "e2e/filter_fixture.h"
#include "support/com_helpers.h"
#include "support/event_recorder.h"
#include "support/nimbrel_registry.h"
#include "support/wait.h"

#include <exdisp.h>
#include <exdispid.h>

#include <chrono>
#include <cstdio>
#include <set>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

std::wstring wide(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// The block log's time stamp for a moment: MM-DD hh:mm:ss (the locale's separator is ":").
std::wstring stamp_of(const SYSTEMTIME& time) {
  wchar_t text[32] = {};
  swprintf(text, 32, L"%02u-%02u %02u:%02u:%02u", time.wMonth, time.wDay, time.wHour, time.wMinute,
           time.wSecond);
  return text;
}

// Every stamp from one moment to a later one, second by second.
std::set<std::wstring> stamps_between(const SYSTEMTIME& first, const SYSTEMTIME& last) {
  const auto seconds = [](const SYSTEMTIME& time) {
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    return ((static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000000ULL;
  };
  std::set<std::wstring> stamps;
  for (ULONGLONG at = seconds(first); at <= seconds(last); ++at) {
    const ULONGLONG ticks = at * 10000000ULL;
    const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time{};
    FileTimeToSystemTime(&file, &time);
    stamps.insert(stamp_of(time));
  }
  return stamps;
}

SYSTEMTIME local_now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return now;
}

class FilterNavigationTest : public FilterEndToEndTest {};

bool failed_to_load(const EventRecorder& recorder, const std::string& url) {
  for (const auto& event : recorder.events(DISPID_NAVIGATEERROR))
    if (event.url == wide(url)) return true;
  return false;
}

bool announced(const EventRecorder& recorder, const std::string& url) {
  for (const auto& event : recorder.events(DISPID_BEFORENAVIGATE2))
    if (event.url == wide(url)) return true;
  return false;
}

// Wine's browser has no HTML engine: an allowed navigation to a closed loopback port ends
// in NavigateError and leaves the window at that address. A cancelled one never starts.
TEST_F(FilterNavigationTest, AnAdNavigationOfARealBrowserIsCancelledAndLogged) {
  const MultithreadedApartment apartment;
  ASSERT_HRESULT_SUCCEEDED(apartment.result());
  set(L"killurl", L"1");
  set(L"killlevel", L"1");
  auto& standin = start_standin("--ie 1");
  ASSERT_TRUE(start_nimbrel());
  ASSERT_EQ(standin.number("advise 0"), 1) << "the program listens to the browser";

  // A listener of our own, subscribed after the program's, sees what the browser does.
  const auto recorder = standin::make_com<EventRecorder>();
  const auto windows = create_shell_windows();
  Subscription subscription(item(windows.Get(), 0).Get(), DIID_DWebBrowserEvents2, recorder.Get());

  const std::string start = "http://127.0.0.1:9/start.html";
  const std::string ad = "http://127.0.0.1:9/ads/x.html";
  const auto started = Clock::now();
  ASSERT_EQ(standin.command("navigate 0 " + start), "OK");
  ASSERT_TRUE(wait_until([&] { return failed_to_load(*recorder.Get(), start); }, 20s))
      << "an allowed navigation goes ahead until the closed port fails it";
  const auto allowed_took = Clock::now() - started;
  ASSERT_EQ(standin.command("location 0"), start);
  EXPECT_EQ(log().row_count(), 0) << "the allowed navigation is not logged";

  const SYSTEMTIME before = local_now();
  ASSERT_EQ(standin.command("navigate 0 " + ad), "OK");
  ASSERT_TRUE(wait_for_rows(1)) << "the ad navigation is logged";
  const SYSTEMTIME after = local_now();
  EXPECT_TRUE(wait_until([&] { return announced(*recorder.Get(), ad); }, 5s))
      << "the browser announced it to every listener";
  ASSERT_EQ(log().row_count(), 1);
  EXPECT_EQ(log().text(0, 1), wide(ad));
  EXPECT_EQ(stamps_between(before, after).count(log().text(0, 0)), 1u)
      << "time stamp " << testing::PrintToString(log().text(0, 0));

  // Given several times what the allowed navigation took to fail, the cancelled one
  // neither fails nor moves the window.
  const auto grace = std::max<Clock::duration>(3 * allowed_took, 1s);
  EXPECT_FALSE(wait_until(
      [&] { return failed_to_load(*recorder.Get(), ad) || standin.command("location 0") != start; },
      std::chrono::duration_cast<std::chrono::milliseconds>(grace)))
      << "the browser went on to " << standin.command("location 0");
  EXPECT_EQ(standin.command("location 0"), start);
  EXPECT_EQ(log().row_count(), 1);
  EXPECT_HRESULT_SUCCEEDED(subscription.end());
}

TEST_F(FilterNavigationTest, ABlackListedAddressIsCancelledAtLevelThreeAndNotAtFour) {
  set(L"killurl", L"1");
  set(L"killlevel", L"3");
  put_file(list_path(L"black.lis"), "tracker.test*promo\r\n");
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());

  const std::string listed = "http://TRACKER.test/x/Promo.js";
  const std::string ad = "http://news.test/ads/x.html";
  EXPECT_EQ(fire_navigation(0, listed), kCancelled);
  EXPECT_EQ(fire_navigation(0, ad), kPassed) << "level 3 uses no built-in table";
  EXPECT_EQ(logged(), std::vector<std::wstring>{wide(listed)});

  ASSERT_TRUE(command(ids::Nonedisable1)) << "the tray menu's level \"最低\"";
  EXPECT_EQ(read_nimbrel_value(L"killlevel"), L"4") << "a level command saves at once";
  EXPECT_EQ(fire_navigation(0, listed), kPassed);
  EXPECT_EQ(logged(), std::vector<std::wstring>{wide(listed)});
}

TEST_F(FilterNavigationTest, AWhiteListedAddressPassesTheTables) {
  set(L"killurl", L"1");
  set(L"killlevel", L"1");
  put_file(list_path(L"white.lis"), "partner.test/ads");
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());
  EXPECT_EQ(control_text(control(ids::Memo1)), L"partner.test/ads");

  const std::string exempt = "http://partner.test/ads/offer.html";
  const std::string ad = "http://other.test/ads/offer.html";
  EXPECT_EQ(fire_navigation(0, exempt), kPassed);
  EXPECT_EQ(fire_navigation(0, ad), kCancelled) << "the same path elsewhere is an ad";
  EXPECT_EQ(logged(), std::vector<std::wstring>{wide(ad)});
}

// Typing in a list box, or another program setting its text, counts from the very next
// navigation: the lists are compiled again after the box reports its change.
TEST_F(FilterNavigationTest, AListEditedByTypingCountsAtTheNextNavigation) {
  set(L"killurl", L"1");
  set(L"killlevel", L"3");
  put_file(list_path(L"black.lis"), "typed.test*zzzz");
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());
  const std::string address = "http://typed.test/x.html";
  EXPECT_EQ(fire_navigation(0, address), kPassed);

  const HWND memo = control(ids::Memo2);
  ASSERT_TRUE(send_message(memo, EM_SETSEL, 0, -1));
  for (const wchar_t c : std::wstring(L"typed.test")) ASSERT_TRUE(send_message(memo, WM_CHAR, c, 1));
  ASSERT_EQ(control_text(memo), L"typed.test");
  EXPECT_EQ(fire_navigation(0, address), kCancelled);
  EXPECT_EQ(logged(), std::vector<std::wstring>{wide(address)});

  // A multi-line edit reports no change for WM_SETTEXT by itself.
  ASSERT_TRUE(set_control_text(memo, L"other.test"));
  EXPECT_EQ(fire_navigation(0, address), kPassed);
  EXPECT_EQ(fire_navigation(0, "http://other.test/y.html"), kCancelled);
}

// The idle hot key is read by the program itself from the session's key state: a Ctrl
// held by this driver suspends the navigation filter and the pop-up passes of nimbrel.exe.
TEST_F(FilterNavigationTest, HoldingCtrlWithHotKeysOnSuspendsAllFiltering) {
  set(L"enhotcut", L"1");
  set(L"killurl", L"1");
  set(L"killlevel", L"1");
  set(L"killpop", L"1");
  auto& standin = start_standin();
  ASSERT_EQ(standin.number("add-fake 0 http://popup.test/"), 0);
  ASSERT_EQ(standin.number("add-fake 1 http://news.test/"), 1);
  ASSERT_TRUE(start_nimbrel());

  const std::string ad = "http://news.test/ads/x.html";
  // Wine drops the key state when a window of the session takes the focus. An attempt
  // during which the key was let go teaches nothing: its pop-up timers are left to run
  // out and it is tried again on a cleared log.
  bool held_throughout = false;
  for (int attempt = 0; attempt < 3 && !held_throughout; ++attempt) {
    ASSERT_TRUE(command(ids::Button3)) << "the log's \"清除\"";
    const int quits_before = quits(0);
    CtrlKeyHeld ctrl;
    ASSERT_TRUE(ctrl.steady()) << "the injected Ctrl key is not seen as held";
    const std::string verdict = fire_navigation(1, ad);
    held_throughout = CtrlKeyHeld::seen_down();
    if (held_throughout) {
      EXPECT_EQ(verdict, kPassed);
      EXPECT_EQ(quits(0), quits_before) << "no pop-up pass";
      EXPECT_EQ(log().row_count(), 0) << "nothing logged while Ctrl was held";
    }
    ctrl.release();
    ASSERT_TRUE(wait_until([] { return !CtrlKeyHeld::seen_down(); }, 2s));
    if (!held_throughout) Sleep(3500);
  }
  ASSERT_TRUE(held_throughout) << "Ctrl was let go during every attempt: nothing learnt";

  EXPECT_EQ(fire_navigation(1, ad), kCancelled);
  EXPECT_EQ(rows_with(wide(ad)), 1);
  EXPECT_TRUE(wait_until([&] { return quits(0) >= 1; }, 2s)) << "the pass after the navigation closes the pop-up";
}

}  // namespace
}  // namespace e2e
