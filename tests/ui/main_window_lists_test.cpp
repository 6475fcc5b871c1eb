// The lists and the block log inside the program. (The filter itself is driven from
// outside, through the test shell, by the end-to-end tests.)
#include "filter/list_file_fixture.h"
#include "platform/ansi.h"
#include "ui/main_window_fixture.h"

#include <commctrl.h>

namespace nimbrel::testing {
namespace {

class MainWindowListsTest : public MainWindowTest {
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
    int logRows() { return static_cast<int>(SendMessageW(form->control(ids::ListView1), LVM_GETITEMCOUNT, 0, 0)); }
};

TEST_F(MainWindowListsTest, ListFilesLoadAtStartAndRoundTripThroughConfirm) {
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

TEST_F(MainWindowListsTest, TheLogClearsAndSendsAnAddressToTheWhiteList) {
    start();
    setLists(L"first", L"");
    form->tracklog("http://ads.example.com/x", {});
    form->tracklog("   ", {});
    form->tracklog("http://example.com/AdRemoved.gif", {});
    ASSERT_EQ(logRows(), 2);
    EXPECT_EQ(logCell(1, 1), L"Popup ad");
    form->ListView1DblClick();  // nothing selected
    EXPECT_EQ(text(ids::Memo1), L"first");
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageW(form->control(ids::ListView1), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    form->ListView1DblClick();
    // The last line had no break: a break, then the address, and no empty line after it.
    EXPECT_EQ(text(ids::Memo1), L"first\r\nhttp://ads.example.com/x");
    // An address longer than any fixed buffer comes across whole.
    const std::string longAddress = "http://long.test/" + std::string(9000, 'q');
    form->tracklog(longAddress, {});
    state.state = 0;
    SendMessageW(form->control(ids::ListView1), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    SendMessageW(form->control(ids::ListView1), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
    form->ListView1DblClick();
    HWND memo = form->control(ids::Memo1);
    std::wstring whole(static_cast<size_t>(GetWindowTextLengthW(memo)) + 1, L'\0');
    whole.resize(static_cast<size_t>(GetWindowTextW(memo, whole.data(), static_cast<int>(whole.size()))));
    EXPECT_EQ(whole, L"first\r\nhttp://ads.example.com/x\r\n" + std::wstring(longAddress.begin(), longAddress.end()));
    SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(ids::Button3, BN_CLICKED), 0);
    EXPECT_EQ(logRows(), 0);
}

}  // namespace
}  // namespace nimbrel::testing
