// The main job inside the program: lists, log, navigation filter and pop-up passes, with
// fake windows of the test shell firing their events into the window's listener.
#include "filter/list_file_fixture.h"
#include "platform/ansi.h"
#include "platform/error.h"
#include "ui/main_window_fixture.h"

#include <commctrl.h>

namespace nimbrel::testing {
namespace {

class MainWindowFilterTest : public MainWindowTest {
protected:
    void SetUp() override {
        removeListFiles();
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        removeListFiles();
    }
    void setLists(const std::wstring& white, const std::wstring& black) {
        SetWindowTextW(form->control(ids::Memo1), white.c_str());
        SetWindowTextW(form->control(ids::Memo2), black.c_str());
    }
    void setSettings(const wchar_t* level, const wchar_t* killurl, const wchar_t* killpop) {
        form->settings.killlevel = level;
        form->settings.killurl = killurl;
        form->settings.killpop = killpop;
    }
    int logRows() { return static_cast<int>(SendMessageW(form->control(ids::ListView1), LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring logCell(int row, int column) {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(form->control(ids::ListView1), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    standin::FireResult navigate(LONG window, const std::wstring& url) {
        standin::FireResult result;
        EXPECT_EQ(shell->collection().entry(window)->control->before_navigate2(url, result), S_OK);
        return result;
    }
    standin::FireResult newWindow(LONG window) {
        standin::FireResult result;
        EXPECT_EQ(shell->collection().entry(window)->control->new_window2(result), S_OK);
        return result;
    }
    int quits(LONG window) { return shell->collection().entry(window)->control->quit_count(); }
};

TEST_F(MainWindowFilterTest, ListFilesLoadAtStartAndRoundTripThroughConfirm) {
    putFile(whitePath(), "cr\rlf\ncrlf\r\n\xB9\xE3\xB8\xE6.com");  // no final line break
    putFile(blackPath(), "ads*banner\r\n");
    start();
    EXPECT_EQ(toAnsi(text(ids::Memo1)), "cr\r\nlf\r\ncrlf\r\n\xB9\xE3\xB8\xE6.com");
    form->Button1Click();
    EXPECT_EQ(fileBytes(whitePath()), "cr\r\nlf\r\ncrlf\r\n\xB9\xE3\xB8\xE6.com");
    EXPECT_EQ(fileBytes(blackPath()), "ads*banner\r\n");
    form->Button1Click();  // a second confirm changes nothing
    EXPECT_EQ(fileBytes(whitePath()), "cr\r\nlf\r\ncrlf\r\n\xB9\xE3\xB8\xE6.com");
}

TEST_F(MainWindowFilterTest, AFailedListSaveStopsTheConfirmAndKeepsEverything) {
    putFile(whitePath(), "old white\r\n");
    putFile(blackPath(), "old black\r\n");
    start();
    setLists(L"new white", L"new black");
    check(ids::CheckBox1, true);
    SetFileAttributesW(whitePath().c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        form->Button1Click();
        FAIL() << "the confirm must fail";
    } catch (const Error& error) {
        EXPECT_EQ(error.text(), L"Cannot create file " + whitePath());
    }
    SetFileAttributesW(whitePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(fileBytes(whitePath()), "old white\r\n");
    EXPECT_EQ(fileBytes(blackPath()), "old black\r\n");        // the other list is not written
    EXPECT_EQ(storedText(kSettingsKey, L"killpop"), L"");        // nor the settings
    EXPECT_EQ(text(ids::Memo1), L"new white");                   // the boxes keep their contents
}

TEST_F(MainWindowFilterTest, AnAdPathIsCancelledAndLoggedOnce) {
    const LONG window = shell->addFake(L"http://news.example.com/");
    start();
    setSettings(L"1", L"1", L"0");
    const auto result = navigate(window, L"http://www.example.com/ads/top.gif");
    EXPECT_TRUE(result.cancel);
    ASSERT_EQ(logRows(), 1);
    EXPECT_EQ(logCell(0, 1), L"http://www.example.com/ads/top.gif");
    EXPECT_EQ(logCell(0, 0).size(), 14u);  // MM-DD hh:mm:ss
    EXPECT_FALSE(navigate(window, L"http://www.example.com/article.html").cancel);
    EXPECT_EQ(logRows(), 1);
}

TEST_F(MainWindowFilterTest, BlackListCancelsAtLevelThreeButNotAtFour) {
    const LONG window = shell->addFake(L"http://news.example.com/");
    start();
    setLists(L"", L"tracker*example");
    setSettings(L"3", L"1", L"0");
    EXPECT_TRUE(navigate(window, L"http://example.org/TRACKER.js").cancel);
    setSettings(L"4", L"1", L"0");
    EXPECT_FALSE(navigate(window, L"http://example.org/tracker.js").cancel);
    EXPECT_EQ(logRows(), 1);
}

TEST_F(MainWindowFilterTest, TheWhiteListExemptsFromTheTablesAndEditsCountAtOnce) {
    const LONG window = shell->addFake(L"http://news.example.com/");
    start();
    setSettings(L"0", L"1", L"0");
    setLists(L"www.example.com/ads/", L"");
    EXPECT_FALSE(navigate(window, L"http://www.example.com/ads/ok.html").cancel);
    setLists(L"", L"");
    EXPECT_TRUE(navigate(window, L"http://www.example.com/ads/ok.html").cancel);
}

TEST_F(MainWindowFilterTest, PopupPassesCloseAToolBarLessWindowAndLogItOnce) {
    const LONG popup = shell->addFake(L"http://popup.example.com/offer", 0);
    const LONG blackListed = shell->addFake(L"http://casino.example.com/", 1);
    const LONG browser = shell->addFake(L"http://news.example.com/", 1);
    start();
    setSettings(L"1", L"1", L"1");
    setLists(L"", L"casino\r\ncasino.example");  // the second window matches both lines
    navigate(browser, L"http://news.example.com/story.html");
    EXPECT_EQ(quits(popup), 1);
    EXPECT_EQ(quits(blackListed), 1);  // one quit for two matching lines
    EXPECT_EQ(quits(browser), 0);
    ASSERT_EQ(logRows(), 2);
    EXPECT_EQ(logCell(0, 1), L"http://popup.example.com/offer");
    EXPECT_EQ(logCell(1, 1), L"http://casino.example.com/");
}

TEST_F(MainWindowFilterTest, TheTimersRunFurtherPassesAfterAnEvent) {
    const LONG browser = shell->addFake(L"http://news.example.com/", 1);
    start();
    setSettings(L"1", L"0", L"1");
    newWindow(browser);
    const LONG popup = shell->addFake(L"http://popup.example.com/", 0);
    pumpMessages(200);  // Timer3 (1 ms) has fired
    EXPECT_EQ(quits(popup), 1);
}

TEST_F(MainWindowFilterTest, NewWindowsAreRefusedOnlyAtTheHighestLevel) {
    const LONG window = shell->addFake(L"http://news.example.com/");
    start();
    setSettings(L"0", L"0", L"0");
    EXPECT_TRUE(newWindow(window).cancel);
    setSettings(L"1", L"0", L"0");
    EXPECT_FALSE(newWindow(window).cancel);
    EXPECT_EQ(logRows(), 0);
}

TEST_F(MainWindowFilterTest, TheLogClearsAndSendsAnAddressToTheWhiteList) {
    start();
    setLists(L"first", L"");
    form->tracklog("http://ads.example.com/x");
    form->tracklog("   ");
    form->tracklog("http://example.com/AdRemoved.gif");
    ASSERT_EQ(logRows(), 2);
    EXPECT_EQ(logCell(1, 1), L"Popup ad");
    form->ListView1DblClick();  // nothing selected
    EXPECT_EQ(text(ids::Memo1), L"first");
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageW(form->control(ids::ListView1), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    form->ListView1DblClick();
    EXPECT_EQ(text(ids::Memo1), L"first\r\nhttp://ads.example.com/x\r\n");
    SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(ids::Button3, BN_CLICKED), 0);
    EXPECT_EQ(logRows(), 0);
}

}  // namespace
}  // namespace nimbrel::testing
