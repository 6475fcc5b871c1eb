// Keeping one listener subscribed to every browser and folder window of the shell.
#pragma once

#include "platform/raii.h"

#include <exdisp.h>

#include <string>
#include <vector>

namespace nimbrel {

// Subscribes a listener to one source without recording anything in the listener, so one
// listener can serve any number of windows. Sets cookie to 0 first; a source without the
// connection point is left alone; a failing Advise leaves whatever it wrote.
void connectsink(IUnknown* source, const IID& eventInterface, IUnknown* listener, LONG& cookie);

// Creates the shell's collection of open browser and folder windows. Throws on failure.
ComPtr<IShellWindows> createShellWindows();
// Count of the collection. Throws on failure.
long windowCount(IShellWindows* windows);
// The window at an index as a browser, or null when the index yields no window or the
// window is not a browser.
ComPtr<IWebBrowser2> browserAt(IShellWindows* windows, long index);
// The same for callers to whom every failure is one: null only when the index holds no
// window; a failing collection, or a window that is not a browser, throws.
ComPtr<IWebBrowser2> requireBrowserAt(IShellWindows* windows, long index);
// The window's current address. Throws on failure.
std::wstring locationOf(IWebBrowser2* window);

// The windows this program has subscribed, known by their COM identity, so that every
// window is subscribed once and every subscription can be ended.
class WindowSubscriptions {
public:
    WindowSubscriptions() = default;
    WindowSubscriptions(const WindowSubscriptions&) = delete;
    WindowSubscriptions& operator=(const WindowSubscriptions&) = delete;
    ~WindowSubscriptions() { unadviseAll(); }

    // Subscribes each window of the first `count` indexes that is not yet subscribed;
    // indexes without a browser, and windows that refuse the subscription, are skipped.
    // Every cookie given is also written into sinkcookie.
    void subscribeNew(IShellWindows* windows, long count, IUnknown* listener, LONG& sinkcookie);
    void unadviseAll();

private:
    struct Subscription {
        ComPtr<IUnknown> identity;
        ComPtr<IConnectionPoint> point;
        DWORD cookie;
    };
    bool isSubscribed(IUnknown* identity) const;

    std::vector<Subscription> subscriptions_;
};

}  // namespace nimbrel
