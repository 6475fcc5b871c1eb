// The navigation strip's behaviour (current page and hover highlights, page switching,
// the About window) and the open-address report of the exception page.
#include "browser/address_report_win.h"
#include "platform/ansi.h"
#include "ui/about_form.h"
#include "ui/main_window.h"
#include "ui/messages_box.h"

namespace nimbrel {

void TTarnwickForm1::createNavigationStrip() {
    ImagePanel_.create(hwnd(), scale_,
                       {
                           .pictureMouseMove = [this](int number) { Image11MouseMove(number); },
                           .pictureClick = [this](int number) { Image11Click(number); },
                           .backgroundMouseMove = [this] { ImagePanelMouseMove(); },
                       });
}

void TTarnwickForm1::InitLabel1234() {
    for (int number = 1; number <= NavigationStrip::kButtons; ++number)
        ImagePanel_.setLook(number, number == curpage ? NavigationStrip::Look::current : NavigationStrip::Look::normal);
}

// Also over the current page's picture: hovering wins over current.
void TTarnwickForm1::Image11MouseMove(int number) {
    InitLabel1234();
    ImagePanel_.setLook(number, NavigationStrip::Look::hover);
}

void TTarnwickForm1::ImagePanelMouseMove() { InitLabel1234(); }

// Pictures 1 to 3 bring their page to the front; picture 4 shows the About window and
// leaves the page as it was, though "关 于" is drawn as current afterwards.
void TTarnwickForm1::Image11Click(int number) {
    if (number == 4) {
        if (AboutForm) AboutForm->ShowModal();
        curpage = number;
        InitLabel1234();
        return;
    }
    selectPage(number);
}

void TTarnwickForm1::Button5Click() {
    const std::string report = openAddressReport();
    showMessage(hwnd(), fromAnsi(report));
}

}  // namespace nimbrel
