// The window's side of the main job: the handlers forward to the filter; the block log and
// the two list boxes that the filter reads.
#include "core/list_text.h"
#include "filter/list_files.h"
#include "filter/list_location.h"
#include "platform/ansi.h"
#include "platform/window_text.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"

namespace nimbrel {

// Read only when the filter compiles the lists again after a change.
ListTexts TTarnwickForm1::readLists() const {
    return {toAnsi(windowText(control(ids::Memo1))), toAnsi(windowText(control(ids::Memo2)))};
}

// Setting a box's text sends no EN_CHANGE: the filter is told here.
void TTarnwickForm1::loadLists() {
    struct ListBox {
        const wchar_t* file;
        int memo;
    };
    for (const ListBox& list : {ListBox{kWhiteListFile, ids::Memo1}, ListBox{kBlackListFile, ids::Memo2}}) {
        if (const auto text = readListFile(listReadPath(list.file))) {
            SetWindowTextW(control(list.memo), fromAnsi(*text).c_str());
            filter_.listsChanged();
        }
    }
}

void TTarnwickForm1::saveLists() {
    writeListFile(listWritePath(kWhiteListFile), toAnsi(windowText(control(ids::Memo1))));
    writeListFile(listWritePath(kBlackListFile), toAnsi(windowText(control(ids::Memo2))));
}

void TTarnwickForm1::WBEventsBeforeNavigate2(TSHDocVwDWebBrowserEvents2*, IDispatch* pDisp, VARIANT* url, VARIANT*,
                                             VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL* cancel) {
    filter_.beforeNavigate(pDisp, url, cancel);
}

void TTarnwickForm1::SHDocVwDWebBrowserEvents21NewWindow2(TSHDocVwDWebBrowserEvents2*, ComPtr<IDispatch>&,
                                                          VARIANT_BOOL* cancel) {
    filter_.newWindow(cancel);
}

void TTarnwickForm1::startPopupTimers() {
    Timer3_.enable();
    Timer4_.enable();
    Timer6_.enable();
}

void TTarnwickForm1::killpopupad() { filter_.killpopupad(); }

void TTarnwickForm1::Timer3Timer() {
    Timer3_.disable();
    filter_.popupTimerFired();
}

void TTarnwickForm1::Timer4Timer() {
    Timer4_.disable();
    filter_.popupTimerFired();
}

void TTarnwickForm1::Timer6Timer() {
    Timer6_.disable();
    filter_.popupTimerFired();
}

void TTarnwickForm1::tracklog(std::string_view address) { blockLog_.tracklog(codePage_, address); }

void TTarnwickForm1::Button3Click() { blockLog_.clear(); }

// Sends the selected row's address to the white list; it is saved with the next confirm.
void TTarnwickForm1::ListView1DblClick() {
    const auto address = blockLog_.selectedAddress();
    if (!address) return;
    HWND memo = control(ids::Memo1);
    const std::string text = withLineAppended(toAnsi(windowText(memo)), *address);
    SetWindowTextW(memo, fromAnsi(text).c_str());
    filter_.listsChanged();
}

}  // namespace nimbrel
