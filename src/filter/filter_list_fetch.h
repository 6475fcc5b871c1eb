// One update of one filter list: the new text is fetched (downloaded, or read again from its
// file) into a new file beside the copies and checked there. Nothing touches the copy in
// force; the caller puts a checked file in its place in one step.
#pragma once

#include "core/filter_list_parse.h"

#include <functional>
#include <string>
#include <string_view>

namespace nimbrel {

inline constexpr std::wstring_view kListUpdated = L"已更新";
inline constexpr std::wstring_view kListUnchanged = L"未改变";
inline constexpr std::wstring_view kListUpdating = L"正在更新...";
inline constexpr std::wstring_view kCannotConnect = L"无法连接";
inline constexpr std::wstring_view kServerReturned = L"服务器返回 %s";
inline constexpr std::wstring_view kInsecure = L"安全连接失败";
inline constexpr std::wstring_view kTooLarge = L"文件过大";
inline constexpr std::wstring_view kCutOff = L"下载中断";
inline constexpr std::wstring_view kNotAList = L"不是过滤列表";
inline constexpr std::wstring_view kCannotSave = L"无法保存";
inline constexpr std::wstring_view kFileMissing = L"找不到文件";
inline constexpr std::wstring_view kCannotRead = L"无法读取文件";
inline constexpr std::wstring_view kBadAddress = L"地址无效";

struct ListFetch {
    enum class Kind { replaced, unchanged, failed } kind = Kind::failed;
    std::wstring status;  // in the program's words
    std::size_t rules = 0, unused = 0;
    int expiresHours = 0;
    std::wstring etag, lastModified;
    std::wstring checkedFile;  // `replaced`: the new text, checked, not yet in place
};

struct FetchRequest {
    std::wstring source;              // an http(s) address or a file's path
    std::wstring etag, lastModified;  // of the copy in force; empty when there is none
    std::wstring folder;              // where the copies live
    std::function<bool()> stopRequested;
};

bool isWebAddress(std::wstring_view source);

ListFetch fetchList(const FetchRequest& request);

// A list's text as the parser reads it, with the platform's IDN and ANSI conversions.
FilterListRules parseListText(std::string_view bytes);

}  // namespace nimbrel
