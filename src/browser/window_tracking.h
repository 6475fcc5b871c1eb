// Keeping one listener subscribed to every browser and folder window of the shell.
#pragma once

#include "platform/raii.h"

#include <exdisp.h>

#include <map>
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
// The collection's windows at one moment, through its enumerator: a window that closes or
// registers meanwhile neither shifts nor hides another. Throws on failure.
using WindowSnapshot = std::vector<ComPtr<IDispatch>>;
WindowSnapshot windowsIn(IShellWindows* windows);
// The window at an index as a browser: null only when the index holds no window; a
// failing collection, or a window that is not a browser, throws.
ComPtr<IWebBrowser2> requireBrowserAt(IShellWindows* windows, long index);
// The window's current address. Throws on failure.
std::wstring locationOf(IWebBrowser2* window);

// The windows this program has subscribed, known by their COM identity, so that every
// window is subscribed once and every subscription can be ended; and what calls into
// windows have shown: windows that did not answer, and windows whose process is gone.
class WindowSubscriptions {
public:
    WindowSubscriptions() = default;
    WindowSubscriptions(const WindowSubscriptions&) = delete;
    WindowSubscriptions& operator=(const WindowSubscriptions&) = delete;
    ~WindowSubscriptions() { unadviseAll(); }

    // Subscribes each window of the snapshot that is not yet subscribed; windows that are
    // not browsers, and windows that refuse the subscription, are skipped. Every cookie
    // given is also written into sinkcookie.
    void subscribeNew(const WindowSnapshot& windows, IUnknown* listener, LONG& sinkcookie);
    // For a window that has just registered: walks back from the end of the collection,
    // where the shell adds windows, subscribing until it meets a window already known, so
    // that a new window costs calls for itself only.
    void subscribeLatest(IShellWindows* windows, IUnknown* listener, LONG& sinkcookie);
    // Ends and forgets the subscriptions of windows that are not in the snapshot, which
    // must be one the shell has not changed since (the caller knows from its events).
    void pruneAbsent(const WindowSnapshot& present);
    // Takes the list out before ending the subscriptions, so that an event arriving during
    // an Unadvise never meets a list being walked. Windows that did not answer or are gone
    // are not called.
    void unadviseAll();
    size_t size() const { return subscriptions_.size(); }
    // Whether the object is one of the subscribed windows (a frame inside one is not).
    bool holds(IUnknown* window) const {
        const ComPtr<IUnknown> identity = identityOf(window);
        return identity && isSubscribed(identity.Get());
    }

    // Whether a window may be called now: never once its process is gone; not while a
    // call to it waits, nor for a while after a call it did not answer, so that a hung
    // window holds the program up once, not at every pass.
    bool mayCall(IUnknown* window) const;
    // Makes one call into a window, keeping track of its answer: a window is counted as
    // not answering from the call's start until it answers, and a window whose process is
    // gone is dropped from the subscriptions.
    template <typename Call>
    HRESULT call(IUnknown* window, Call&& makeCall) {
        const ComPtr<IUnknown> identity = identityOf(window);
        markUnanswered(identity);
        const HRESULT result = makeCall();
        noteOutcome(identity, result);
        return result;
    }

private:
    struct Subscription {
        ComPtr<IUnknown> identity;
        ComPtr<IConnectionPoint> point;
        DWORD cookie;
    };
    using WindowSet = std::map<IUnknown*, ComPtr<IUnknown>>;
    struct Unanswered {
        ComPtr<IUnknown> identity;
        ULONGLONG since;  // when the call that was not answered ended; 0 while it waits
    };

    static ComPtr<IUnknown> identityOf(IUnknown* window);
    bool isSubscribed(IUnknown* identity) const { return subscriptions_.count(identity) != 0; }
    enum class Found { nothing, known, added };
    // Subscribes a window of the collection unless it is known already.
    Found subscribe(IDispatch* item, IUnknown* listener, LONG& sinkcookie);
    void unadvise(const Subscription& subscription);
    void markUnanswered(const ComPtr<IUnknown>& identity);
    void noteOutcome(const ComPtr<IUnknown>& identity, HRESULT result);

    std::map<IUnknown*, Subscription> subscriptions_;
    std::map<IUnknown*, Unanswered> unanswered_;
    WindowSet gone_;
};

}  // namespace nimbrel
