// The window's side of the main job: the handlers forward to the filter; the block log and
// the two list boxes that the filter reads.
#include "core/list_text.h"
#include "core/messages.h"
#include "platform/ansi.h"
#include "platform/window_text.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"
#include "ui/messages_box.h"

namespace nimbrel {

// Read only when the filter compiles the lists again after a change.
ListTexts TTarnwickForm1::readLists() const {
    return {toAnsi(windowText(control(ids::Memo1))), toAnsi(windowText(control(ids::Memo2)))};
}

namespace {

constexpr int kListBoxes[] = {ids::Memo1, ids::Memo2};  // white, black, as the store keeps them

}  // namespace

void TTarnwickForm1::loadLists() {
    const auto texts = lists_.load();
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i]) SetWindowTextW(control(kListBoxes[i]), texts[i]->c_str());
}

void TTarnwickForm1::saveLists() {
    lists_.save({windowText(control(kListBoxes[0])), windowText(control(kListBoxes[1]))},
                [this](const std::wstring& path) { showMessage(hwnd(), formatMessage(kListFileKept, {path})); });
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

void TTarnwickForm1::NoticeTimerTimer() {
    KillTimer(hwnd(), ids::NoticeTimer);
    filter_.notices().timerFired();
}

void TTarnwickForm1::killpopupad() { filter_.killpopupad(); }

void TTarnwickForm1::PopupPassPosted() { filter_.popupPassPosted(); }

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

void TTarnwickForm1::tracklog(std::string_view address, const BlockReason& reason, IUnknown* window) {
    if (blockLog_.tracklog(codePage_, address, reason, window)) countsLine_.counted();
}

void TTarnwickForm1::Button3Click() { blockLog_.clear(); }

// Sends the selected row's address to the white list; it is saved with the next confirm.
void TTarnwickForm1::ListView1DblClick() {
    const auto address = blockLog_.selectedAddress();
    if (!address) return;
    HWND memo = control(ids::Memo1);
    SetWindowTextW(memo, withLineAppended(windowText(memo), fromAnsi(*address)).c_str());
}

}  // namespace nimbrel
