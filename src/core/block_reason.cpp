#include "core/block_reason.h"

namespace nimbrel {

namespace {

std::wstring sourceText(const BlockReason& reason, std::wstring_view entry) {
    using Source = BlockReason::Source;
    switch (reason.source) {
        case Source::blackList:
            return L"黑名单第 " + std::to_wstring(reason.line + 1) + L" 行: " + std::wstring(entry);
        case Source::hostTable: return L"广告主机表: " + std::wstring(entry);
        case Source::pathTable: return L"广告路径表: " + std::wstring(entry);
        case Source::wordTable: return L"广告字词表: " + std::wstring(entry);
        case Source::filterList: return L"过滤列表 " + reason.listName + L": " + std::wstring(entry);
        case Source::none: break;
    }
    return reason.popup ? L"无工具栏" : L"";
}

}  // namespace

std::wstring reasonText(const BlockReason& reason, std::wstring_view entryText) {
    const std::wstring text = sourceText(reason, entryText);
    return reason.popup ? L"弹出窗口: " + text : text;
}

}  // namespace nimbrel
