// The window as it first shows: a failed start keeps the design's page and boxes, only
// the front page takes the keyboard, and the caption carries the icon's small image.
#include "ui/main_window_fixture.h"

namespace nimbrel::testing {
namespace {

constexpr int kPages[] = {ids::OptionPanel, ids::ExceptionPanel, ids::LogsPanel};

TEST_F(MainWindowTest, AFailedStartShowsTheDesignsPageBoxesAndSmallIcon) {
    storeDword(L"killpop", 1);
    MessageBoxAnswerer answerer;
    TTarnwickForm1& window = start();
    window.show();
    pumpMessages(100);
    ASSERT_EQ(answerer.texts(), L"Errror while initiating, Please re-install Nimbrel.|");
    for (int page : kPages) EXPECT_EQ(IsWindowVisible(window.control(page)) != 0, page == ids::OptionPanel);
    for (int box : {ids::CheckBox1, ids::CheckBox2, ids::CheckBox3, ids::CheckBox5, ids::CheckBox6, ids::CheckBox8,
                    ids::CheckBox9})
        EXPECT_EQ(checked(box), box == ids::CheckBox1 || box == ids::CheckBox2 || box == ids::CheckBox5 ||
                                    box == ids::CheckBox8) << "box " << box;
    ICONINFO icon{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(GetClassLongPtrW(window.hwnd(), GCLP_HICONSM)), &icon));
    BITMAP image{};
    GetObjectW(icon.hbmColor, sizeof(image), &image);
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
    EXPECT_EQ(image.bmWidth, GetSystemMetrics(SM_CXSMICON)) << "the icon's own small image, not a shrunk large one";
}

// Tab from the confirm button walks the shown controls and comes back to it.
TEST_F(MainWindowTest, TabFromTheConfirmButtonNeverReachesAPageBehindTheFrontOne) {
    TTarnwickForm1& window = start();
    window.show();
    for (int front = 1; front <= 3; ++front) {
        window.Image11Click(front);
        const HWND confirm = window.control(ids::Button1);
        SetFocus(confirm);
        int pageStops = 0;
        for (int step = 0; step < 40 && (step == 0 || GetFocus() != confirm); ++step) {
            MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
            IsDialogMessageW(window.hwnd(), &tab);
            for (int page : kPages) {
                if (!IsChild(window.control(page), GetFocus())) continue;
                EXPECT_EQ(page, kPages[front - 1]) << "page " << front << ", step " << step;
                ++pageStops;
            }
        }
        EXPECT_EQ(GetFocus(), confirm) << "page " << front << ": the walk comes round";
        EXPECT_GT(pageStops, 0) << "page " << front;
    }
}

}  // namespace
}  // namespace nimbrel::testing
