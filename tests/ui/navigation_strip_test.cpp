// The navigation strip inside the program: the pictures' hand, and the caption rules as
// the window applies them (what they look like on screen is tested from outside).
#include "ui/control_ids.h"
#include "ui/main_window_fixture.h"

namespace nimbrel::testing {
namespace {

using Look = NavigationStrip::Look;
using NavigationStripTest = MainWindowTest;

HWND picture(TTarnwickForm1& form, int number) {
    return GetDlgItem(GetDlgItem(form.hwnd(), ids::ImagePanel), ids::kNavigationPictures[number - 1]);
}

TEST_F(NavigationStripTest, PicturesShowTheHand) {
    start();
    const auto hand = LoadCursorW(nullptr, IDC_HAND);
    for (int number = 1; number <= 4; ++number)
        EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(picture(*form, number), GCLP_HCURSOR)), hand);
}

// Without an About window the fourth picture still makes "关 于" the current caption,
// while the page in front stays.
TEST_F(NavigationStripTest, TheFourthPictureMarksItsCaptionButKeepsThePage) {
    start();
    form->Image11Click(2);
    EXPECT_EQ(form->curpage, 2);
    form->Image11Click(4);
    EXPECT_EQ(form->curpage, 4);
    EXPECT_EQ(form->captionLook(4), Look::current);
    EXPECT_EQ(form->captionLook(2), Look::normal);
    HWND front = GetWindow(form->hwnd(), GW_CHILD);
    while (front && GetDlgCtrlID(front) != ids::OptionPanel && GetDlgCtrlID(front) != ids::ExceptionPanel &&
           GetDlgCtrlID(front) != ids::LogsPanel)
        front = GetWindow(front, GW_HWNDNEXT);
    EXPECT_EQ(GetDlgCtrlID(front), ids::ExceptionPanel);
}

}  // namespace
}  // namespace nimbrel::testing
