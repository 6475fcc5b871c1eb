#include "browser/window_tracking.h"

#include "browser/call_bound.h"
#include "platform/error.h"
#include "platform/hresult_text.h"

#include <ocidl.h>

#include <utility>
#include <vector>

namespace nimbrel {
namespace {

ComPtr<IConnectionPoint> findConnectionPoint(IUnknown* source, const IID& eventInterface) {
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    if (source && SUCCEEDED(source->QueryInterface(IID_PPV_ARGS(&container))))
        container->FindConnectionPoint(eventInterface, &point);
    return point;
}

// connectsink's steps, handing back the connection point so that the subscription can be ended.
ComPtr<IConnectionPoint> advise(IUnknown* source, const IID& eventInterface, IUnknown* listener, LONG& cookie) {
    cookie = 0;
    ComPtr<IConnectionPoint> point = findConnectionPoint(source, eventInterface);
    if (!point) return point;
    DWORD advised = 0;
    point->Advise(listener, &advised);
    cookie = static_cast<LONG>(advised);
    return point;
}

}  // namespace

void connectsink(IUnknown* source, const IID& eventInterface, IUnknown* listener, LONG& cookie) {
    advise(source, eventInterface, listener, cookie);
}

ComPtr<IShellWindows> createShellWindows() {
    ComPtr<IShellWindows> windows;
    throwIfFailed(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                   IID_PPV_ARGS(&windows)));
    return windows;
}

long windowCount(IShellWindows* windows) {
    long count = 0;
    throwIfFailed(windows->get_Count(&count));
    return count;
}

ComPtr<IWebBrowser2> browserAt(IShellWindows* windows, long index) {
    Variant at(index);
    ComPtr<IDispatch> item;
    ComPtr<IWebBrowser2> browser;
    if (SUCCEEDED(windows->Item(*at.get(), &item)) && item) item.As(&browser);
    return browser;
}

ComPtr<IWebBrowser2> requireBrowserAt(IShellWindows* windows, long index) {
    Variant at(index);
    ComPtr<IDispatch> item;
    ComPtr<IWebBrowser2> browser;
    throwIfFailed(windows->Item(*at.get(), &item));
    if (item) throwIfFailed(item.As(&browser));
    return browser;
}

std::wstring locationOf(IWebBrowser2* window) {
    Bstr location;
    throwIfFailed(window->get_LocationURL(location.put()));
    return location.str();
}

void WindowSubscriptions::subscribeNew(IShellWindows* windows, long count, IUnknown* listener, LONG& sinkcookie) {
    for (long index = 0; index < count; ++index) subscribeAt(windows, index, listener, sinkcookie);
}

void WindowSubscriptions::subscribeLatest(IShellWindows* windows, IUnknown* listener, LONG& sinkcookie) {
    for (long index = windowCount(windows) - 1; index >= 0; --index)
        if (subscribeAt(windows, index, listener, sinkcookie) == Found::known) break;
}

WindowSubscriptions::Found WindowSubscriptions::subscribeAt(IShellWindows* windows, long index, IUnknown* listener,
                                                            LONG& sinkcookie) {
    const ComPtr<IWebBrowser2> browser = browserAt(windows, index);
    const ComPtr<IUnknown> identity = browser ? identityOf(browser.Get()) : nullptr;
    if (!identity || gone_.count(identity.Get())) return Found::nothing;
    if (isSubscribed(identity.Get())) return Found::known;
    ComPtr<IConnectionPoint> point = advise(browser.Get(), DIID_DWebBrowserEvents2, listener, sinkcookie);
    // A window without events is remembered too, so that it is not asked again; one whose
    // Advise failed is asked again next time.
    if (!point || sinkcookie != 0)
        subscriptions_[identity.Get()] = {identity, std::move(point), static_cast<DWORD>(sinkcookie)};
    return Found::added;
}

void WindowSubscriptions::pruneAbsent(IShellWindows* windows) {
    WindowSet present;
    const long count = windowCount(windows);
    for (long index = 0; index < count; ++index) {
        if (const ComPtr<IWebBrowser2> browser = browserAt(windows, index)) {
            ComPtr<IUnknown> identity = identityOf(browser.Get());
            if (identity) present.emplace(identity.Get(), identity);
        }
    }
    std::vector<Subscription> absent;
    for (auto entry = subscriptions_.begin(); entry != subscriptions_.end();) {
        if (present.count(entry->first)) {
            ++entry;
        } else {
            absent.push_back(std::move(entry->second));
            entry = subscriptions_.erase(entry);
        }
    }
    for (WindowSet* marks : {&unanswered_, &gone_})
        std::erase_if(*marks, [&](const auto& entry) { return !present.count(entry.first) && !isSubscribed(entry.first); });
    for (Subscription& subscription : absent) unadvise(subscription);
}

void WindowSubscriptions::unadviseAll() {
    const auto subscriptions = std::exchange(subscriptions_, {});
    for (const auto& entry : subscriptions) unadvise(entry.second);
}

void WindowSubscriptions::unadvise(const Subscription& subscription) {
    if (!subscription.point || unanswered_.count(subscription.identity.Get())) return;
    subscription.point->Unadvise(subscription.cookie);
}

bool WindowSubscriptions::mayCall(IUnknown* window, bool insideEvent) const {
    const ComPtr<IUnknown> identity = identityOf(window);
    if (!identity || gone_.count(identity.Get())) return false;
    return !(insideEvent && unanswered_.count(identity.Get()));
}

ComPtr<IUnknown> WindowSubscriptions::identityOf(IUnknown* window) {
    ComPtr<IUnknown> identity;
    if (window) window->QueryInterface(IID_PPV_ARGS(&identity));
    return identity;
}

void WindowSubscriptions::markUnanswered(const ComPtr<IUnknown>& identity) {
    if (identity) unanswered_.emplace(identity.Get(), identity);
}

void WindowSubscriptions::noteOutcome(const ComPtr<IUnknown>& identity, HRESULT result) {
    if (!identity) return;
    switch (outcomeOf(result)) {
    case CallOutcome::answered: unanswered_.erase(identity.Get()); break;
    case CallOutcome::unanswered: break;
    case CallOutcome::gone:
        unanswered_.erase(identity.Get());
        gone_.emplace(identity.Get(), identity);
        subscriptions_.erase(identity.Get());  // its process is gone: nothing to end
        break;
    }
}

}  // namespace nimbrel
