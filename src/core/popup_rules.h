#pragma once
// The pop-up window killer's decisions: the policy for new-window requests, and one pass
// over the open shell windows, judged one window at a time.

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "core/ansi_text.h"
#include "core/block_reason.h"
#include "core/compiled_list.h"
#include "core/filter_settings.h"
#include "core/url_pattern.h"

namespace nimbrel {

struct NewWindowVerdict {
    bool cancel = false;       // refuse the window (nothing is logged)
    bool startTimers = false;  // start Timer3, Timer4, Timer6 in that order

    bool operator==(const NewWindowVerdict&) const = default;
};

NewWindowVerdict judgeNewWindow(const FilterSettings& settings, bool ctrlDown);

// A pass timer, on firing, runs a pass only while pop-up closing is on.
bool timerRunsPass(const FilterSettings& settings);

// At most one verdict per window and pass: a window that closes is logged once and asked to
// quit once, whichever rule closed it.
enum class WindowVerdict {
    keep,
    quitBlackListed,  // its address matches a usable black-list line
    quitPopup,        // it has no tool bar and nothing spares it
};

inline bool closesWindow(WindowVerdict verdict) { return verdict != WindowVerdict::keep; }

// Texts that spare a tool-bar-less window at levels "2" and "3", letter case ignored.
std::span<const std::string_view> popupExemptionWords();

// One pass. Created only when a pass has work to do; otherwise the pass ends before it
// looks at any window. The pass judges every window against the lists it was given when it
// began: line by line (compiled for the pass) or already compiled.
class PopupPass {
public:
    static std::optional<PopupPass> begin(const CodePage& codePage, const FilterSettings& settings,
                                          bool ctrlDown, const ExceptionLists& lists);
    static std::optional<PopupPass> begin(const FilterSettings& settings, bool ctrlDown,
                                          std::shared_ptr<const CompiledLists> lists);

    // `readToolBar` returns the window's ToolBar value. It is called at most once, and
    // not at all for a black-listed window, which is closed whatever its tool bar. For a
    // window that closes, `reason` (when given) receives why: the black-list line that
    // matched, or its missing tool bar (source none); either way a pop-up's.
    WindowVerdict judge(std::string_view address, const std::function<int()>& readToolBar,
                        BlockReason* reason = nullptr) const;

private:
    PopupPass(std::shared_ptr<const CompiledLists> lists, bool sparesExemptionWords);

    bool sparedByExemptionWord(const SearchText& address) const;

    std::shared_ptr<const CompiledLists> lists_;
    bool sparesExemptionWords_;
};

}  // namespace nimbrel
