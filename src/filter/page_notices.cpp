#include "filter/page_notices.h"

#include "platform/ansi.h"

#include <exdisp.h>

#include <algorithm>
#include <utility>

namespace nimbrel {
namespace {

std::uint64_t now() { return GetTickCount64(); }

ComPtr<IUnknown> identityOf(IUnknown* object) {
    ComPtr<IUnknown> identity;
    if (object) object->QueryInterface(IID_PPV_ARGS(&identity));
    return identity;
}

Variant textVariant(const std::string& address) {
    const std::wstring wide = fromAnsi(address);
    Variant text;
    text.get()->vt = VT_BSTR;  // the variant owns the string from here on
    text.get()->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return text;
}

// Navigate2 with the address alone. Every argument is a reference that a call into another
// process must carry, so the optional ones are empty variants, never null.
HRESULT navigate(IWebBrowser2* browser, const std::string& address) {
    Variant url = textVariant(address), flags, frame, postData, headers;
    return browser->Navigate2(url.get(), flags.get(), frame.get(), postData.get(), headers.get());
}

}  // namespace

PageNotices::PageNotices(const Settings& settings, Window window)
    : settings_(settings), window_(std::move(window)) {}

bool PageNotices::isTopLevel(IUnknown* navigator) const { return window_.subscriptions->holds(navigator); }

void PageNotices::removed(IUnknown* window, std::string_view address, std::wstring reason) {
    if (!isOn(settings_.shownotice) || !window_.canNotify()) return;
    held_ = Removal{std::string(address), identityOf(window), std::move(reason)};
    if (const int removals = pacer_.removed(now())) {
        show(*std::exchange(held_, std::nullopt), removals);
    } else if (const auto due = pacer_.due()) {
        const std::uint64_t at = now();
        window_.startTimer(static_cast<unsigned>(*due > at ? *due - at : 0));
    }
}

void PageNotices::timerFired() {
    if (!held_) return;
    const int removals = pacer_.release(now());
    if (removals == 0) {
        if (const auto due = pacer_.due()) window_.startTimer(static_cast<unsigned>(*due - std::min(*due, now())));
        return;
    }
    // Switched off, or the window is back from the tray, meanwhile: the held ones are dropped.
    Removal removal = *std::exchange(held_, std::nullopt);
    if (isOn(settings_.shownotice) && window_.canNotify()) show(removal, removals);
}

void PageNotices::show(const Removal& removal, int removals) {
    window_.showNotice(kNoticeTitle, noticeText(fromAnsi(removal.address), removal.reason, removals));
    shown_ = removal;
}

void PageNotices::noticeClicked() {
    if (shown_) passOnce(shown_->address, shown_->window.Get());
}

void PageNotices::passOnce(const std::string& address, IUnknown* window) {
    if (!window || !window_.subscriptions->holds(window) || !navigateIn(window, address))
        navigateInNewWindow(address);
}

bool PageNotices::navigateIn(IUnknown* window, const std::string& address) {
    ComPtr<IWebBrowser2> browser;
    if (!window_.subscriptions->mayCall(window) || FAILED(window->QueryInterface(IID_PPV_ARGS(&browser))))
        return false;
    passes_.grant(address, identityOf(window), now());
    const CallBound::Underway underway(*window_.bound);
    const HRESULT result = window_.subscriptions->call(window, [&] { return navigate(browser.Get(), address); });
    return outcomeOf(result) != CallOutcome::gone;
}

// A window of its own, shown as the user's browser is; it is listened to once the shell
// reports it, and the pass waits for it until then.
void PageNotices::navigateInNewWindow(const std::string& address) {
    ComPtr<IWebBrowser2> browser;
    if (FAILED(CoCreateInstance(CLSID_InternetExplorer, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&browser))))
        return;
    passes_.grant(address, identityOf(browser.Get()), now());
    const CallBound::Underway underway(*window_.bound);
    browser->put_Visible(VARIANT_TRUE);
    navigate(browser.Get(), address);
}

bool PageNotices::letThrough(IUnknown* navigator, std::string_view address) {
    return passes_.consume(address, identityOf(navigator), now());
}

}  // namespace nimbrel
