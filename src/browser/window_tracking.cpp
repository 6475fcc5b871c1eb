#include "browser/window_tracking.h"

#include "browser/call_bound.h"
#include "platform/error.h"
#include "platform/hresult_text.h"

#include <ocidl.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace nimbrel {
namespace {

// How long a window that did not answer is left alone before a pass tries it again.
constexpr ULONGLONG kUnansweredRestMs = 30000;

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

WindowSnapshot windowsIn(IShellWindows* windows) {
    ComPtr<IUnknown> unknown;
    ComPtr<IEnumVARIANT> enumerator;
    throwIfFailed(windows->_NewEnum(&unknown));
    if (!unknown) throwIfFailed(E_POINTER);
    throwIfFailed(unknown.As(&enumerator));
    WindowSnapshot snapshot;
    constexpr ULONG kBatch = 64;  // windows fetched by one call
    for (HRESULT more = S_OK; more == S_OK;) {
        VARIANT items[kBatch];
        ULONG fetched = 0;
        more = enumerator->Next(kBatch, items, &fetched);
        throwIfFailed(more);
        for (ULONG i = 0; i < std::min(fetched, kBatch); ++i) {
            Variant item;
            *item.put() = items[i];  // owned from here on
            const VARIANT& value = *item.get();
            ComPtr<IDispatch> window;
            if ((value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal)
                value.punkVal->QueryInterface(IID_PPV_ARGS(&window));
            if (window) snapshot.push_back(std::move(window));
        }
    }
    return snapshot;
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

void WindowSubscriptions::subscribeNew(const WindowSnapshot& windows, IUnknown* listener, LONG& sinkcookie) {
    for (const ComPtr<IDispatch>& window : windows) subscribe(window.Get(), listener, sinkcookie);
}

void WindowSubscriptions::subscribeLatest(IShellWindows* windows, IUnknown* listener, LONG& sinkcookie) {
    for (long index = windowCount(windows) - 1; index >= 0; --index) {
        Variant at(index);
        ComPtr<IDispatch> item;
        if (FAILED(windows->Item(*at.get(), &item)) || !item) continue;
        if (subscribe(item.Get(), listener, sinkcookie) == Found::known) break;
    }
}

WindowSubscriptions::Found WindowSubscriptions::subscribe(IDispatch* item, IUnknown* listener, LONG& sinkcookie) {
    // The identity first: a window already known costs no call into it.
    const ComPtr<IUnknown> identity = identityOf(item);
    if (!identity || gone_.count(identity.Get())) return Found::nothing;
    if (isSubscribed(identity.Get())) return Found::known;
    ComPtr<IWebBrowser2> browser;
    if (FAILED(item->QueryInterface(IID_PPV_ARGS(&browser)))) return Found::nothing;
    ComPtr<IConnectionPoint> point = advise(browser.Get(), DIID_DWebBrowserEvents2, listener, sinkcookie);
    // A window without events is remembered too, so that it is not asked again; one whose
    // Advise failed is asked again next time.
    if (!point || sinkcookie != 0)
        subscriptions_[identity.Get()] = {identity, std::move(point), static_cast<DWORD>(sinkcookie)};
    return Found::added;
}

void WindowSubscriptions::pruneAbsent(const WindowSnapshot& windows) {
    WindowSet present;
    for (const ComPtr<IDispatch>& window : windows)
        if (ComPtr<IUnknown> identity = identityOf(window.Get())) present.emplace(identity.Get(), identity);
    std::vector<Subscription> absent;
    for (auto entry = subscriptions_.begin(); entry != subscriptions_.end();) {
        if (present.count(entry->first)) {
            ++entry;
        } else {
            absent.push_back(std::move(entry->second));
            entry = subscriptions_.erase(entry);
        }
    }
    const auto forgotten = [&](const auto& entry) { return !present.count(entry.first) && !isSubscribed(entry.first); };
    std::erase_if(unanswered_, forgotten);
    std::erase_if(gone_, forgotten);
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

bool WindowSubscriptions::mayCall(IUnknown* window) const {
    const ComPtr<IUnknown> identity = identityOf(window);
    if (!identity || gone_.count(identity.Get())) return false;
    const auto unanswered = unanswered_.find(identity.Get());
    if (unanswered == unanswered_.end()) return true;
    const ULONGLONG since = unanswered->second.since;
    return since && GetTickCount64() - since >= kUnansweredRestMs;
}

ComPtr<IUnknown> WindowSubscriptions::identityOf(IUnknown* window) {
    ComPtr<IUnknown> identity;
    if (window) window->QueryInterface(IID_PPV_ARGS(&identity));
    return identity;
}

void WindowSubscriptions::markUnanswered(const ComPtr<IUnknown>& identity) {
    if (identity) unanswered_[identity.Get()] = {identity, 0};
}

void WindowSubscriptions::noteOutcome(const ComPtr<IUnknown>& identity, HRESULT result) {
    if (!identity) return;
    switch (outcomeOf(result)) {
    case CallOutcome::answered: unanswered_.erase(identity.Get()); break;
    case CallOutcome::unanswered: {
        const auto waiting = unanswered_.find(identity.Get());
        if (waiting != unanswered_.end()) waiting->second.since = GetTickCount64();
        break;
    }
    case CallOutcome::gone:
        unanswered_.erase(identity.Get());
        gone_.emplace(identity.Get(), identity);
        subscriptions_.erase(identity.Get());  // its process is gone: nothing to end
        break;
    }
}

}  // namespace nimbrel
