#include "browser/window_tracking.h"

#include "platform/error.h"
#include "platform/hresult_text.h"

#include <ocidl.h>

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
    for (long index = 0; index < count; ++index) {
        ComPtr<IWebBrowser2> browser = browserAt(windows, index);
        ComPtr<IUnknown> identity;
        if (!browser || FAILED(browser.As(&identity)) || isSubscribed(identity.Get())) continue;
        ComPtr<IConnectionPoint> point = advise(browser.Get(), DIID_DWebBrowserEvents2, listener, sinkcookie);
        if (sinkcookie != 0) subscriptions_.push_back({identity, point, static_cast<DWORD>(sinkcookie)});
    }
}

bool WindowSubscriptions::isSubscribed(IUnknown* identity) const {
    for (const auto& subscription : subscriptions_)
        if (subscription.identity.Get() == identity) return true;
    return false;
}

void WindowSubscriptions::unadviseAll() {
    for (auto& subscription : subscriptions_)
        if (subscription.point) subscription.point->Unadvise(subscription.cookie);
    subscriptions_.clear();
}

}  // namespace nimbrel
