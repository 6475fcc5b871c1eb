#pragma once
// The setting texts that the filters read at every event. A flag is on only when its text
// is exactly "1"; levels are compared as text, so an unknown level is simply none of the five.

#include <cstddef>
#include <string_view>

#include "core/settings_rules.h"

namespace nimbrel {

struct FilterSettings {
    std::wstring_view killpop;    // close pop-up windows
    std::wstring_view killurl;    // block ad links and ad sites
    std::wstring_view killlevel;  // sensitivity "0" (highest) to "4" (lowest)
    std::wstring_view enhotcut;   // holding Ctrl suspends filtering

    // Views into `settings`, which must outlive the result.
    static FilterSettings of(const Settings& settings) {
        return {settings.killpop, settings.killurl, settings.killlevel, settings.enhotcut};
    }

    bool closesPopups() const { return isOn(killpop); }
    bool blocksUrls() const { return isOn(killurl); }
    // Compared character by character: the level is asked several times at every navigation.
    bool levelIs(std::wstring_view level) const {
        if (killlevel.size() != level.size()) return false;
        for (std::size_t i = 0; i < level.size(); ++i)
            if (killlevel[i] != level[i]) return false;
        return true;
    }
    // A level written as a literal: its length is known without counting it at every call.
    template <std::size_t N>
    bool levelIs(const wchar_t (&level)[N]) const {
        return levelIs(std::wstring_view(level, N - 1));
    }
    bool levelIsLowest() const { return levelIs(L"4"); }

    // The idle hot-key rule: with hot keys allowed, Ctrl held down (alone or with Shift)
    // suspends every filter for as long as it is held.
    bool idle(bool ctrlDown) const { return isOn(enhotcut) && ctrlDown; }
};

}  // namespace nimbrel
