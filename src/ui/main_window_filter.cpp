// The main job: the navigation filter, the new-window policy, the pop-up passes, the
// block log and the two lists they read.
#include "core/list_text.h"
#include "core/navigation_filter.h"
#include "core/popup_rules.h"
#include "filter/list_files.h"
#include "filter/list_location.h"
#include "platform/ansi.h"
#include "platform/error.h"
#include "platform/hresult_text.h"
#include "platform/window_text.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"

namespace nimbrel {
namespace {

// Either Ctrl key held down at this moment (Shift may be down too).
bool ctrlDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

bool isWebBrowser(IDispatch* object) {
    ComPtr<IWebBrowser2> browser;
    return object && SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&browser)));
}

std::string addressText(VARIANT* url) {
    if (url->vt == VT_BSTR) return toAnsi(url->bstrVal ? url->bstrVal : L"");
    Variant text;
    if (FAILED(VariantChangeType(text.get(), url, 0, VT_BSTR))) throw Error(L"Invalid variant type conversion");
    return toAnsi(text.get()->bstrVal ? text.get()->bstrVal : L"");
}

}  // namespace

// The lists are read afresh for every event and pass, so edits count at once.
TTarnwickForm1::ListContents TTarnwickForm1::readLists() const {
    const auto lines = [this](int memo) { return splitLines(toAnsi(windowText(control(memo)))); };
    return {lines(ids::Memo1), lines(ids::Memo2)};
}

void TTarnwickForm1::loadLists() {
    struct ListBox {
        const wchar_t* file;
        int memo;
    };
    for (const ListBox& list : {ListBox{kWhiteListFile, ids::Memo1}, ListBox{kBlackListFile, ids::Memo2}}) {
        if (const auto text = readListFile(listReadPath(list.file)))
            SetWindowTextW(control(list.memo), fromAnsi(*text).c_str());
    }
}

void TTarnwickForm1::saveLists() {
    writeListFile(listWritePath(kWhiteListFile), toAnsi(windowText(control(ids::Memo1))));
    writeListFile(listWritePath(kBlackListFile), toAnsi(windowText(control(ids::Memo2))));
}

void TTarnwickForm1::WBEventsBeforeNavigate2(TSHDocVwDWebBrowserEvents2*, IDispatch* pDisp, VARIANT* url, VARIANT*,
                                             VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL* cancel) {
    const FilterSettings filter = FilterSettings::of(settings);
    // The level and the keys first: asking the navigating object is a call into the browser.
    if (navigationIgnored(filter, ctrlDown(), true) || !isWebBrowser(pDisp)) return;
    const std::string address = addressText(url);
    // The browser waits: the lists are read once, and only when a filter or the pass needs them.
    ListContents lists;
    if (filter.blocksUrls() || filter.closesPopups()) lists = readLists();
    const NavigationVerdict verdict = judgeAddress(codePage_, filter, {lists.white, lists.black}, address);
    if (verdict.cancel) {
        tracklog(address);
        *cancel = VARIANT_TRUE;
    }
    if (verdict.runPopupStep) {
        killpopupad(lists);
        startPopupTimers();
    }
}

void TTarnwickForm1::SHDocVwDWebBrowserEvents21NewWindow2(TSHDocVwDWebBrowserEvents2*, ComPtr<IDispatch>&,
                                                          VARIANT_BOOL* cancel) {
    const NewWindowVerdict verdict = judgeNewWindow(FilterSettings::of(settings), ctrlDown());
    if (verdict.cancel) *cancel = VARIANT_TRUE;
    if (verdict.startTimers) startPopupTimers();
}

void TTarnwickForm1::startPopupTimers() {
    Timer3_.enable();
    Timer4_.enable();
    Timer6_.enable();
}

// One pass never reports a failure: whatever fails ends the pass, and the windows not yet
// reached wait for the next one.
void TTarnwickForm1::killpopupad() { killpopupad(readLists()); }

void TTarnwickForm1::killpopupad(const ListContents& lists) {
    try {
        runPopupPass(lists);
    } catch (...) {
    }
}

void TTarnwickForm1::runPopupPass(const ListContents& lists) {
    const auto pass =
        PopupPass::begin(codePage_, FilterSettings::of(settings), ctrlDown(), {lists.white, lists.black});
    if (!pass) return;
    ComPtr<IShellWindows> windows = createShellWindows();
    const long count = windowCount(windows.Get());
    for (long index = 0; index < count; ++index) {
        const ComPtr<IWebBrowser2> window = requireBrowserAt(windows.Get(), index);
        if (!window) continue;
        const WindowVerdict verdict = pass->judge(toAnsi(locationOf(window.Get())), [&] {
            int toolBar = 0;
            throwIfFailed(window->get_ToolBar(&toolBar));
            return toolBar;
        });
        if (!closesWindow(verdict)) continue;
        tracklog(toAnsi(locationOf(window.Get())));  // the address at the moment of logging
        throwIfFailed(window->Quit());
    }
}

void TTarnwickForm1::Timer3Timer() {
    Timer3_.disable();
    if (timerRunsPass(FilterSettings::of(settings))) killpopupad();
}

void TTarnwickForm1::Timer4Timer() {
    Timer4_.disable();
    if (timerRunsPass(FilterSettings::of(settings))) killpopupad();
}

void TTarnwickForm1::Timer6Timer() {
    Timer6_.disable();
    if (timerRunsPass(FilterSettings::of(settings))) killpopupad();
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
}

}  // namespace nimbrel
