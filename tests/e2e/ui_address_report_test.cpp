// "查看当前地址列表" seen from outside: the message box's exact text for the windows that
// the stand-in shell holds at the moment of the click.
#include "e2e/ui_driver.h"
#include "support/desktop_windows.h"
#include "support/wait.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr int Image12 = 401;
constexpr int Button7 = 226;

const std::wstring kRule(46, L'-');
const std::wstring kBrowserHeading = L"Urls List (Internet Explorer):\r" + kRule;
const std::wstring kFolderHeading = L"Urls List (Windows Explorer):\r" + kRule;
const std::wstring kBetweenLists = L"\r \r\n \r\n";

class UiAddressReportTest : public ::testing::Test {
 protected:
  void start(const std::string& standin_options = "") {
    session_ = std::make_unique<NimbrelSession>(standin_options);
    session_->start();
    ASSERT_NE(session_->main(), nullptr);
    session_->raise();
  }

  // Shows the exception page, clicks the button and returns the message's text.
  std::wstring report() {
    click(session_->control(Image12));
    wait_until([&] { return session_->front_page() == 2; }, 5s);
    click(session_->control(Button7));
    const HWND box = session_->nimbrel().wait_for_message_box(20s);
    if (!box) return L"<no message box>";
    EXPECT_EQ(window_text(box), L"Quellix (Nimbrel)");
    EXPECT_FALSE(message_box_has_icon(box));
    const std::wstring text = message_box_text(box);
    press_ok(box);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(box); }, 5s));
    return text;
  }

  std::unique_ptr<NimbrelSession> session_;
};

TEST_F(UiAddressReportTest, WithNoWindowOnlyTheTwoHeadingsShow) {
  start();
  EXPECT_EQ(report(), kBrowserHeading + kBetweenLists + kFolderHeading);
}

TEST_F(UiAddressReportTest, BrowserAndFolderWindowsAreNumberedInTwoListsInTheCollectionsOrder) {
  start();
  auto& shell = session_->standin();
  shell.number("add-fake 1 http://www.example.com/news");
  shell.number("add-fake 1 file:///C:/Windows/");
  shell.number("add-empty");  // an index that yields no window is passed over
  shell.number("add-fake 1 http://search.test/?q=FILE://share");
  shell.number("add-fake 1 http://新闻.test/首页");
  shell.number("add-fake 1 File:///D:/docs/a.htm");

  EXPECT_EQ(report(), kBrowserHeading + L"\r1: http://www.example.com/news\r2: http://新闻.test/首页" +
                          kBetweenLists + kFolderHeading +
                          L"\r1: file:///C:/Windows/\r2: http://search.test/?q=FILE://share"
                          L"\r3: File:///D:/docs/a.htm");

  // A fresh collection each time: a window added later is in the next report.
  shell.number("add-fake 1 http://later.test/");
  EXPECT_EQ(report(), kBrowserHeading +
                          L"\r1: http://www.example.com/news\r2: http://新闻.test/首页\r3: http://later.test/" +
                          kBetweenLists + kFolderHeading +
                          L"\r1: file:///C:/Windows/\r2: http://search.test/?q=FILE://share"
                          L"\r3: File:///D:/docs/a.htm");
  EXPECT_TRUE(session_->nimbrel().running());
}

// A new Wine Internet Explorer window has not navigated yet: its address is empty.
TEST_F(UiAddressReportTest, AWindowWithAnEmptyAddressGivesAnEntryEndingInTheColon) {
  start("--ie 1");
  session_->standin().number("add-fake 1 file:///C:/");
  EXPECT_EQ(report(), kBrowserHeading + L"\r1: " + kBetweenLists + kFolderHeading + L"\r1: file:///C:/");
}

}  // namespace
}  // namespace e2e
