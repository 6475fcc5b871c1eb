#include "platform/ansi.h"

#include <windows.h>

#include <vector>

namespace nimbrel {

namespace {

std::string narrowed(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

std::string toAnsi(std::wstring_view text) { return narrowed(CP_ACP, text); }

std::string toUtf8(std::wstring_view text) { return narrowed(CP_UTF8, text); }

std::wstring fromAnsi(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), chars);
    return out;
}

CodePage systemCodePage() {
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info)) return CodePage::singleByte();
    std::vector<LeadByteRange> ranges;
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        ranges.push_back({info.LeadByte[i], info.LeadByte[i + 1]});
    return CodePage(std::span<const LeadByteRange>(ranges));
}

}  // namespace nimbrel
