// Subscribed filter lists in a running nimbrel.exe: a list stored by an earlier run blocks
// its hosts from the start, whether or not its server answers, by host at label boundaries,
// at the levels that use the built-in host table and not against the white list.
#include "e2e/filter_fixture.h"
#include "support/wait.h"

namespace e2e {
namespace {

using FilterSubscriptionTest = FilterEndToEndTest;

TEST_F(FilterSubscriptionTest, AStoredListBlocksItsHostsAtTheTableLevelsWithTheServerDownButNotAgainstTheWhiteList) {
  set(L"killurl", L"1");
  set(L"killlevel", L"1");
  put_file(list_path(L"white.lis"), "safe.metrics.example.com\r\n");
  store_filter_list(L"1", L"http://127.0.0.1:9/list.txt", "[Adblock Plus 2.0]\n||metrics.example.com^\n||tracker.test^\n");
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());

  const std::string listed = "http://metrics.example.com/x.js";
  ASSERT_TRUE(wait_until([&] { return fire_navigation(0, listed) == kCancelled; }, 20s))
      << "the stored copy is compiled after the start and then blocks";
  const std::string subdomain = "http://cdn.METRICS.example.com:8080/y.png?a=1";
  const std::string other_list_host = "http://Tracker.Test./";
  EXPECT_EQ(fire_navigation(0, subdomain), kCancelled);
  EXPECT_EQ(fire_navigation(0, other_list_host), kCancelled);
  EXPECT_EQ(fire_navigation(0, "http://safe.metrics.example.com/a"), kPassed) << "the white list exempts";
  EXPECT_EQ(fire_navigation(0, "http://notmetrics.example.com/"), kPassed);
  EXPECT_EQ(fire_navigation(0, "http://metrics.example.com.other.org/"), kPassed);
  EXPECT_EQ(fire_navigation(0, "http://news.test/?u=metrics.example.com"), kPassed);
  EXPECT_EQ(fire_navigation(0, "http://metrics.example.com@news.test/"), kPassed) << "user-info is not the host";
  EXPECT_EQ(logged(), (std::vector<std::wstring>{L"http://metrics.example.com/x.js",
                                                 L"http://cdn.METRICS.example.com:8080/y.png?a=1",
                                                 L"http://Tracker.Test./"}));

  ASSERT_TRUE(command(ids::Lowlevel1)) << "level \"低级\" uses no host table";
  EXPECT_EQ(fire_navigation(0, listed), kPassed);
  EXPECT_EQ(fire_navigation(0, subdomain), kPassed);
  ASSERT_TRUE(command(ids::Normallevel1));
  EXPECT_EQ(fire_navigation(0, subdomain), kCancelled);
  EXPECT_EQ(logged().size(), 4u);
}

TEST_F(FilterSubscriptionTest, AListThatIsSwitchedOffBlocksNothing) {
  set(L"killurl", L"1");
  set(L"killlevel", L"0");
  store_filter_list(L"1", L"http://127.0.0.1:9/on.txt", "||tracker.test^\n");
  store_filter_list(L"2", L"http://127.0.0.1:9/off.txt", "||metrics.example.com^\n");
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Nimbrel\\FilterLists\\2", L"enabled", REG_SZ, L"0", 4);
  start_standin("--fake 1");
  ASSERT_TRUE(start_nimbrel());
  ASSERT_TRUE(wait_until([&] { return fire_navigation(0, "http://tracker.test/") == kCancelled; }, 20s));
  EXPECT_EQ(fire_navigation(0, "http://metrics.example.com/x.js"), kPassed);
}

}  // namespace
}  // namespace e2e
