#include "core/popup_rules.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace nimbrel {

namespace {

// Media sites open player windows without tool bars on purpose; so do a software-download
// site and a news site that users rely on. Like every address test, a word counts only where
// it starts on a character boundary.
constexpr std::array<std::string_view, 7> kExemptionWords = {
    "real", "audio", "music", "movie", "radio", "skycn.com", "xinhuanet.com",
};

const std::vector<std::string>& upperExemptionWords() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> result;
        for (std::string_view word : kExemptionWords) {
            result.push_back(upperCase(CodePage::singleByte(), word));
        }
        return result;
    }();
    return words;
}

// A window counts as a pop-up only by its ToolBar value; nothing else about it is read.
bool hasNoToolBar(int toolBar) { return toolBar == 0; }

}  // namespace

NewWindowVerdict judgeNewWindow(const FilterSettings& settings, bool ctrlDown) {
    if (settings.levelIsLowest() || settings.idle(ctrlDown)) {
        return {};
    }
    return {.cancel = settings.levelIs(L"0"), .startTimers = settings.closesPopups()};
}

bool timerRunsPass(const FilterSettings& settings) { return settings.closesPopups(); }

std::span<const std::string_view> popupExemptionWords() { return kExemptionWords; }

std::optional<PopupPass> PopupPass::begin(const CodePage& codePage, const FilterSettings& settings,
                                          bool ctrlDown, const ExceptionLists& lists) {
    return begin(settings, ctrlDown, std::make_shared<const CompiledLists>(codePage, lists));
}

std::optional<PopupPass> PopupPass::begin(const FilterSettings& settings, bool ctrlDown,
                                          std::shared_ptr<const CompiledLists> lists) {
    if (settings.idle(ctrlDown)) {
        return std::nullopt;
    }
    if (settings.levelIs(L"0") || settings.levelIs(L"1")) {
        return PopupPass(std::move(lists), false);
    }
    if (settings.levelIs(L"2") || settings.levelIs(L"3")) {
        return PopupPass(std::move(lists), true);
    }
    return std::nullopt;  // "4" and any unknown level close nothing
}

PopupPass::PopupPass(std::shared_ptr<const CompiledLists> lists, bool sparesExemptionWords)
    : lists_(std::move(lists)), sparesExemptionWords_(sparesExemptionWords) {}

bool PopupPass::sparedByExemptionWord(const SearchText& address) const {
    const std::vector<std::string>& words = upperExemptionWords();
    return sparesExemptionWords_ &&
           std::any_of(words.begin(), words.end(),
                       [&address](const std::string& word) { return address.contains(word); });
}

WindowVerdict PopupPass::judge(std::string_view address, const std::function<int()>& readToolBar,
                               BlockReason* reason) const {
    const SearchText text(lists_->codePage, address);
    // The first matching black-list line settles it; the window is not judged again.
    if (const auto line = lists_->black.firstMatch(text)) {
        if (reason != nullptr) {
            *reason = {.source = BlockReason::Source::blackList, .popup = true, .line = *line,
                       .entry = std::string(lists_->black.line(*line))};
        }
        return WindowVerdict::quitBlackListed;
    }
    if (!hasNoToolBar(readToolBar()) || sparedByExemptionWord(text) || lists_->white.matches(text)) {
        return WindowVerdict::keep;
    }
    if (reason != nullptr) *reason = {.popup = true};
    return WindowVerdict::quitPopup;
}

}  // namespace nimbrel
