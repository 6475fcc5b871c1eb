#include "filter/ad_filter.h"

#include "browser/call_bound.h"
#include "browser/window_tracking.h"
#include "core/block_reason.h"
#include "core/list_text.h"
#include "core/navigation_filter.h"
#include "core/popup_rules.h"
#include "platform/ansi.h"
#include "platform/error.h"
#include "platform/hresult_text.h"
#include "platform/raii.h"

#include <exdisp.h>

#include <utility>
#include <vector>

namespace nimbrel {
namespace {

// Either Ctrl key held down at this moment (Shift may be down too).
bool ctrlDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

bool isWebBrowser(IDispatch* object) {
    ComPtr<IWebBrowser2> browser;
    return object && SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&browser)));
}

// The whole address, by the string's own length: an embedded NUL does not end it.
std::string bstrText(BSTR text) { return toAnsi(std::wstring_view(text, SysStringLen(text))); }

std::string addressText(VARIANT* url) {
    if (url->vt == VT_BSTR) return bstrText(url->bstrVal);
    Variant text;
    if (FAILED(VariantChangeType(text.get(), url, 0, VT_BSTR))) throw Error(L"Invalid variant type conversion");
    return bstrText(text.get()->bstrVal);
}

}  // namespace

AdFilter::AdFilter(const Settings& settings, const CodePage& codePage, Window window)
    : settings_(settings), codePage_(codePage), window_(std::move(window)), notices_(settings, window_.notices) {}

std::shared_ptr<const CompiledLists> AdFilter::lists() {
    if (!compiled_) {
        const ListTexts texts = window_.readLists();
        const std::vector<std::string> white = splitLines(texts.white), black = splitLines(texts.black);
        compiled_ = std::make_shared<const CompiledLists>(codePage_, ExceptionLists{white, black});
    }
    return compiled_;
}

void AdFilter::beforeNavigate(IDispatch* pDisp, VARIANT* url, VARIANT_BOOL* cancel) {
    const FilterSettings filter = FilterSettings::of(settings_);
    // The level and the keys first: asking the navigating object is a call into the browser.
    if (navigationIgnored(filter, ctrlDown(), true) || !isWebBrowser(pDisp)) return;
    const std::string address = addressText(url);
    if (notices_.letThrough(pDisp, address)) return;  // the one pass the user asked for: logged nowhere
    const auto filterHosts = window_.filterHosts ? window_.filterHosts() : nullptr;
    BlockReason reason;
    const NavigationVerdict verdict = judgeAddress(filter, *lists(), address, filterHosts.get(), &reason);
    if (verdict.cancel) {
        window_.tracklog(address, reason, pDisp);
        *cancel = VARIANT_TRUE;
        if (notices_.isTopLevel(pDisp)) notices_.removed(pDisp, address, reasonText(reason, fromAnsi(reason.entry)));
    }
    if (verdict.runPopupStep) {
        // Never inside the event: a call into another window could keep this browser
        // waiting for its answer.
        if (!passPosted_) window_.postPopupPass();
        passPosted_ = true;
        window_.startPopupTimers();
    }
}

void AdFilter::newWindow(VARIANT_BOOL* cancel) {
    const NewWindowVerdict verdict = judgeNewWindow(FilterSettings::of(settings_), ctrlDown());
    if (verdict.cancel) *cancel = VARIANT_TRUE;
    if (verdict.startTimers) window_.startPopupTimers();
}

void AdFilter::popupTimerFired() {
    if (timerRunsPass(FilterSettings::of(settings_))) killpopupad();
}

void AdFilter::popupPassPosted() {
    passPosted_ = false;
    killpopupad();
}

void AdFilter::killpopupad() {
    if (passRunning_) {
        passAgain_ = true;
        return;
    }
    passRunning_ = true;
    do {
        passAgain_ = false;
        try {
            runPopupPass();
        } catch (...) {
        }
    } while (passAgain_ && !window_.closing());
    passRunning_ = false;
}

// A window that does not answer in time, or whose process is gone, is passed over and the
// pass goes on; a window that answers with a failure ends the pass. Once the program is
// closing, nothing more is closed.
void AdFilter::runPopupPass() {
    const auto pass = PopupPass::begin(FilterSettings::of(settings_), ctrlDown(), lists());
    if (!pass) return;
    const CallBound::Underway underway(*window_.bound);
    ComPtr<IShellWindows> windows = createShellWindows();
    const long count = windowCount(windows.Get());
    for (long index = 0; index < count && !window_.closing(); ++index) {
        const ComPtr<IWebBrowser2> window = requireBrowserAt(windows.Get(), index);
        if (!window || !window_.subscriptions->mayCall(window.Get())) continue;
        try {
            judgePopup(*pass, window.Get());
        } catch (const CallError& error) {
            if (outcomeOf(error.result()) == CallOutcome::answered) throw;
        }
    }
}

void AdFilter::judgePopup(const PopupPass& pass, IWebBrowser2* window) {
    const auto ask = [&](auto&& call) { throwIfFailed(window_.subscriptions->call(window, call)); };
    const auto location = [&] {
        Bstr url;
        ask([&] { return window->get_LocationURL(url.put()); });
        return bstrText(url.get());
    };
    BlockReason reason;
    const WindowVerdict verdict = pass.judge(
        location(),
        [&] {
            int toolBar = 0;
            ask([&] { return window->get_ToolBar(&toolBar); });
            return toolBar;
        },
        &reason);
    if (!closesWindow(verdict)) return;
    const std::string address = location();  // the address at the moment of logging
    if (window_.closing()) return;
    window_.tracklog(address, reason, nullptr);
    ask([&] { return window->Quit(); });
}

}  // namespace nimbrel
