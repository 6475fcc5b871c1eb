// The program's own texts that are not captions of controls.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace nimbrel {

inline constexpr std::wstring_view kAppTitle = L"Quellix (Nimbrel)";
inline constexpr std::wstring_view kStartupFailed = L"Errror while initiating, Please re-install Nimbrel.";
inline constexpr std::wstring_view kConnectFailed =
    L"Connect IExplorer failed, there has some crashed IExplorer threads.\rPlease restart system and try again.";
// A list file holding bytes its box cannot show exactly, saved while its box was unchanged.
inline constexpr std::wstring_view kListFileKept =
    L"File %s holds text that the list cannot show exactly.\rIt was left as it was, since the list was not changed.";

// After importing an ad-server list: lines added, lines already there, lines not understood.
inline constexpr std::wstring_view kImportReport =
    L"导入完成.\r新增: %s 行\r已在黑名单中: %s 行\r无法识别而跳过: %s 行";
// The same when the box took only part of the lines: added, not taken, already there, skipped.
inline constexpr std::wstring_view kImportCut =
    L"导入未完成, 黑名单已满.\r新增: %s 行\r未能加入: %s 行\r已在黑名单中: %s 行\r无法识别而跳过: %s 行";
// A file too large to be a published list; the file's path.
inline constexpr std::wstring_view kImportTooLarge = L"文件过大, 未导入: %s\r广告服务器列表最大为 64 MB.";

// Fills each "%s" of a message template, in order, with the given texts.
std::wstring formatMessage(std::wstring_view pattern, std::initializer_list<std::wstring_view> args);

// The general error report ends a sentence with a full stop unless the text's last
// character sorts at or before '.' (so texts ending in '.', '!' or a blank are left alone).
std::wstring withFullStop(std::wstring_view text);

}  // namespace nimbrel
