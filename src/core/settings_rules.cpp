#include "core/settings_rules.h"

namespace nimbrel {


std::wstring flagText(bool on) { return on ? L"1" : L"0"; }

std::wstring loadedLevel(std::wstring_view stored) {
    return stored.empty() ? std::wstring(kDefaultLevel) : std::wstring(stored);
}

std::wstring loadedNoticeFlag(std::wstring_view stored) {
    return stored.empty() ? std::wstring(L"1") : std::wstring(stored);
}

int levelIndex(std::wstring_view level) {
    if (level.size() == 1 && level[0] >= L'0' && level[0] < L'0' + kLevelCount) return level[0] - L'0';
    return 1;
}

std::wstring levelText(int index) {
    if (index < 0 || index >= kLevelCount) index = 1;
    return std::wstring(1, static_cast<wchar_t>(L'0' + index));
}

}  // namespace nimbrel
