// Notices of removed pages and the pass the user asks for. A window's own navigation that
// the filter cancelled is told in the tray (a frame's is not: the user did not ask for
// it); a click on the notice, or "放行一次" on a logged row, lets that address through
// once in its window, or opens it in a new Internet Explorer window when that has closed.
#pragma once

#include "browser/call_bound.h"
#include "browser/window_tracking.h"
#include "core/block_notice.h"
#include "core/settings_rules.h"
#include "platform/raii.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

class PageNotices {
public:
    // What the notices need from the window that owns the tray icon.
    struct Window {
        std::function<bool()> canNotify;  // the tray icon is there to carry a notice
        std::function<void(std::wstring_view title, std::wstring_view text)> showNotice;
        std::function<void(unsigned ms)> startTimer;  // one-shot, for the held notices
        WindowSubscriptions* subscriptions;
        CallBound* bound;
    };

    PageNotices(const Settings& settings, Window window);

    // Whether the navigating object is a window the program listens to, not a frame in one.
    bool isTopLevel(IUnknown* navigator) const;
    // A top-level window's navigation was cancelled.
    void removed(IUnknown* window, std::string_view address, std::wstring reason);
    // The timer that startTimer started.
    void timerFired();
    // The user clicked the notice shown last.
    void noticeClicked();
    // Lets an address through once: in the window if it is still open, else in a new one.
    void passOnce(const std::string& address, IUnknown* window);
    // Whether this navigation is the one let through; it is used up by the answer.
    bool letThrough(IUnknown* navigator, std::string_view address);

private:
    struct Removal {
        std::string address;
        ComPtr<IUnknown> window;
        std::wstring reason;
    };

    void show(const Removal& removal, int removals);
    bool navigateIn(IUnknown* window, const std::string& address);
    void navigateInNewWindow(const std::string& address);

    const Settings& settings_;
    Window window_;
    NoticePacer pacer_;
    std::optional<Removal> held_;   // the newest removal not yet told
    std::optional<Removal> shown_;  // the removal the last notice named
    PassOnce<ComPtr<IUnknown>> passes_;
};

}  // namespace nimbrel
