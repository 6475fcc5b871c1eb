#include "platform/ansi.h"

#include <windows.h>

#include <vector>

namespace nimbrel {

std::string toCodePage(unsigned codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::wstring fromCodePage(unsigned codePage, std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, out.data(), chars);
    return out;
}

std::string toAnsi(std::wstring_view text) { return toCodePage(CP_ACP, text); }

std::wstring fromAnsi(std::string_view text) { return fromCodePage(CP_ACP, text); }

std::string toUtf8(std::wstring_view text) { return toCodePage(CP_UTF8, text); }

CodePage systemCodePage() {
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info)) return CodePage::singleByte();
    std::vector<LeadByteRange> ranges;
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        ranges.push_back({info.LeadByte[i], info.LeadByte[i + 1]});
    return CodePage(std::span<const LeadByteRange>(ranges));
}

}  // namespace nimbrel
