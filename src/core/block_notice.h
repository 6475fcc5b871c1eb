// The tray notice of a removed page, and the one pass through the filter that clicking it
// gives: timing rules only, on any monotonic clock in milliseconds.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nimbrel {

inline constexpr std::wstring_view kNoticeTitle = L"已阻止广告网址";

// At most one notice per gap. A removal within the gap is held; when the gap is over, one
// notice names the newest held removal and counts the others into it.
class NoticePacer {
public:
    static constexpr std::uint64_t kGapMs = 10000;

    // A removal at `now`: how many removals the notice that shows now stands for (this one
    // named, the others held before it counted), or 0 when it is held.
    int removed(std::uint64_t now);
    // When the held removals are due, or nothing when none are held.
    std::optional<std::uint64_t> due() const;
    // The held removals' notice, at or after `due()`: how many removals it stands for; 0
    // when none are held or the gap is not over yet.
    int release(std::uint64_t now);

private:
    int show(std::uint64_t now);

    std::optional<std::uint64_t> lastShown_;
    int held_ = 0;
};

// The notice's text: the host (or the whole address when it has none) and the reason, each
// on a line of its own, then how many other removals it stands for. Cut to `limit`
// characters, the count kept whole.
std::wstring noticeText(std::wstring_view address, std::wstring_view reason, int removals,
                        std::size_t limit = 255);

// One address let through once, in one window, for a while after the user asked: the first
// navigation of that window to exactly that address within the time uses it up. `Window`
// is anything compared with ==; the grant keeps its own copy.
template <typename Window>
class PassOnce {
public:
    static constexpr std::uint64_t kLifeMs = 30000;

    // A new grant for the same window and address replaces the old one.
    void grant(std::string address, Window window, std::uint64_t now) {
        expire(now);
        std::erase_if(grants_, [&](const Grant& old) { return old.window == window && old.address == address; });
        grants_.push_back({std::move(address), std::move(window), now + kLifeMs});
    }

    // Whether this navigation is the one let through; true once per grant.
    bool consume(std::string_view address, const Window& window, std::uint64_t now) {
        expire(now);
        const auto found = std::find_if(grants_.begin(), grants_.end(), [&](const Grant& grant) {
            return grant.window == window && grant.address == address;
        });
        if (found == grants_.end()) return false;
        grants_.erase(found);
        return true;
    }

    std::size_t open(std::uint64_t now) {
        expire(now);
        return grants_.size();
    }

private:
    struct Grant {
        std::string address;
        Window window;
        std::uint64_t until;
    };

    void expire(std::uint64_t now) {
        std::erase_if(grants_, [&](const Grant& grant) { return now >= grant.until; });
    }

    std::vector<Grant> grants_;
};

}  // namespace nimbrel
