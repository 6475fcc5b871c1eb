// What removed an address: the first entry, in the order the verdict or the pop-up pass
// checks them, that matched it. Found only once the address is removed, so the verdict
// itself pays nothing for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace nimbrel {

struct BlockReason {
    enum class Source : std::uint8_t {
        none,        // a pop-up closed for having no tool bar; otherwise unknown
        blackList,   // `line` and `entry`: the black-list line
        hostTable,   // `entry`: the built-in table's entry, as the table holds it
        pathTable,
        wordTable,
        filterList,  // `listName` and `entry`: the rule as the list writes it
    };

    Source source = Source::none;
    bool popup = false;     // a window closed by the pop-up killer
    std::size_t line = 0;   // 0-based line of the black-list box
    std::string entry;      // ANSI text of the program's code page
    std::wstring listName;

    bool operator==(const BlockReason&) const = default;
};

// The reason in the program's words: "黑名单第 N 行: TEXT", "广告主机表: ENTRY",
// "广告路径表: ENTRY", "广告字词表: ENTRY", "过滤列表 NAME: RULE"; a pop-up's reason starts
// with "弹出窗口: ", and one closed for its missing tool bar reads "弹出窗口: 无工具栏".
// `entryText` is the reason's `entry` converted to UTF-16 by the caller.
std::wstring reasonText(const BlockReason& reason, std::wstring_view entryText);

}  // namespace nimbrel
