// Captions of the main window, in Simplified Chinese.
#pragma once

#include "core/settings_rules.h"

namespace nimbrel {

inline constexpr const wchar_t* kLevelNames[kLevelCount] = {L"最高", L"高级", L"一般", L"低级", L"最低"};

inline constexpr const wchar_t* kLevelDescriptions[kLevelCount] = {
    L"绝对没有窗口弹出!",
    L"关闭大部分广告窗口(推荐等级).",
    L"在窗口关闭前先分析是否为广告窗口.",
    L"只关闭很可能是广告的窗口.",
    L"不关闭任何窗口.",
};

// The maker's home page, opened by "访问主页" and shown greyed at the foot of the window.
inline constexpr const wchar_t* kHomePage = L"http://www.nimbrel.com/cn/";
inline constexpr const wchar_t* kHomePageLabel = L"nimbrel.com";

}  // namespace nimbrel
