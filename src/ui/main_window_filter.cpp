// The window's side of the main job: the handlers forward to the filter; the block log and
// the two list boxes that the filter reads.
#include "core/list_text.h"
#include "core/messages.h"
#include "filter/list_files.h"
#include "filter/list_location.h"
#include "platform/ansi.h"
#include "platform/safe_file.h"
#include "platform/window_text.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"
#include "ui/messages_box.h"

#include <iterator>

namespace nimbrel {

// Read only when the filter compiles the lists again after a change.
ListTexts TTarnwickForm1::readLists() const {
    return {toAnsi(windowText(control(ids::Memo1))), toAnsi(windowText(control(ids::Memo2)))};
}

namespace {

struct ListBox {
    const wchar_t* file;
    int memo;
};
constexpr ListBox kListBoxes[] = {{kWhiteListFile, ids::Memo1}, {kBlackListFile, ids::Memo2}};

}  // namespace

// What each file was like is kept, so that a save writes it back the same way.
void TTarnwickForm1::loadLists() {
    for (size_t i = 0; i < std::size(kListBoxes); ++i) {
        auto file = readListFile(listReadPath(kListBoxes[i].file));
        if (file) SetWindowTextW(control(kListBoxes[i].memo), file->text.c_str());
        listFiles_[i] = file ? std::move(*file) : ListFile{};
    }
}

// Both files are checked before either is written, so that a save is never half done. A
// file the box cannot show exactly is rewritten only when the user changed its box.
void TTarnwickForm1::saveLists() {
    std::wstring texts[std::size(kListBoxes)];
    bool writes[std::size(kListBoxes)];
    for (size_t i = 0; i < std::size(kListBoxes); ++i) {
        texts[i] = windowText(control(kListBoxes[i].memo));
        writes[i] = listFiles_[i].faithful || texts[i] != listFiles_[i].text;
        if (writes[i]) checkFileWritable(listWritePath(kListBoxes[i].file));
    }
    for (size_t i = 0; i < std::size(kListBoxes); ++i) {
        const std::wstring path = listWritePath(kListBoxes[i].file);
        if (writes[i])
            writeListFile(path, texts[i], listFiles_[i].encoding);
        else
            showMessage(hwnd(), formatMessage(kListFileKept, {path}));
    }
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

void TTarnwickForm1::tracklog(std::string_view address) { blockLog_.tracklog(codePage_, address); }

void TTarnwickForm1::Button3Click() { blockLog_.clear(); }

// Sends the selected row's address to the white list; it is saved with the next confirm.
void TTarnwickForm1::ListView1DblClick() {
    const auto address = blockLog_.selectedAddress();
    if (!address) return;
    HWND memo = control(ids::Memo1);
    SetWindowTextW(memo, withLineAppended(windowText(memo), fromAnsi(*address)).c_str());
}

}  // namespace nimbrel
