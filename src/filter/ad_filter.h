// The main job: the navigation verdict, the new-window policy and the pop-up passes. The two
// lists are compiled once and again only after they changed, at the next verdict or pass
// that needs them, so an edit counts from the very next navigation.
#pragma once

#include "core/ansi_text.h"
#include "core/block_reason.h"
#include "core/compiled_list.h"
#include "core/host_set.h"
#include "core/popup_rules.h"
#include "core/settings_rules.h"

#include "browser/call_bound.h"
#include "browser/window_tracking.h"
#include "filter/page_notices.h"

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace nimbrel {

// Both list boxes' text as ANSI, read at one moment.
struct ListTexts {
    std::string white, black;
};

class AdFilter {
public:
    // What the filter needs from the window that owns it.
    struct Window {
        std::function<ListTexts()> readLists;
        // The window is the navigating one (a frame, or null for a closed pop-up), for a pass later.
        std::function<void(std::string_view address, const BlockReason& reason, IUnknown* window)> tracklog;
        std::function<void()> startPopupTimers;  // Timer3, Timer4 and Timer6, in that order
        // Has popupPassPosted called once the event has answered, by a posted message.
        std::function<void()> postPopupPass;
        std::function<bool()> closing;        // once true, a pass closes nothing more
        WindowSubscriptions* subscriptions;  // what calls into windows have shown
        CallBound* bound;                    // where a pass says it walks the windows
        std::function<std::shared_ptr<const FilterHosts>()> filterHosts;  // those in force, or null
        PageNotices::Window notices;
    };

    AdFilter(const Settings& settings, const CodePage& codePage, Window window);

    // A list box changed: the lists are compiled again when next needed.
    void listsChanged() { compiled_.reset(); }

    void beforeNavigate(IDispatch* pDisp, VARIANT* url, VARIANT_BOOL* cancel);
    void newWindow(VARIANT_BOOL* cancel);
    // One pop-up pass. It never fails: whatever fails ends the pass, and the windows not
    // yet reached wait for the next one. A pass asked for while one runs (an event or a
    // timer while a call waits) runs once more after it, never inside it.
    void killpopupad();
    // A pop-up timer fired (and has stopped itself).
    void popupTimerFired();
    // The pass that a navigation asked for, now that its answer has gone back.
    void popupPassPosted();
    // The tray notices of removed pages and the passes the user asks for.
    PageNotices& notices() { return notices_; }

private:
    std::shared_ptr<const CompiledLists> lists();
    void runPopupPass();
    void judgePopup(const PopupPass& pass, IWebBrowser2* window);

    const Settings& settings_;
    CodePage codePage_;
    Window window_;
    PageNotices notices_;
    std::shared_ptr<const CompiledLists> compiled_;  // empty while stale
    bool passPosted_ = false;
    bool passRunning_ = false;
    bool passAgain_ = false;
};

}  // namespace nimbrel
