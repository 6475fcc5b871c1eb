// The compiled lists against the line-by-line reference on arbitrary bytes. The first byte
// picks the code page, the level and whether ad links are blocked; the rest is split at LF
// into list lines (the even ones also form the white list, the odd ones the black list)
// and, last, the address.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/compiled_list.h"
#include "core/navigation_filter.h"

namespace {

using namespace nimbrel;

[[noreturn]] void differ(const char* what) {
    std::fprintf(stderr, "compiled and reference answers differ: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned flags = data[0];
    std::vector<std::string> lines, white, black;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    for (std::size_t end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
        lines.emplace_back(rest.substr(0, end));
        (lines.size() % 2 ? white : black).push_back(lines.back());
        rest.remove_prefix(end + 1);
    }
    const std::string_view address = rest;
    const CodePage codePage = flags & 1 ? CodePage::gb2312() : CodePage::singleByte();

    const SearchText text(codePage, address);
    if (CompiledList(codePage, lines).firstMatch(text) != firstListMatch(lines, text)) differ("first matching line");

    static const wchar_t* const kLevels[] = {L"0", L"1", L"2", L"3", L"4", L"9", L"", L"1"};
    const FilterSettings settings{L"1", flags & 2 ? L"1" : L"0", kLevels[(flags >> 2) & 7], L"0"};
    const CompiledLists compiled(codePage, {white, black});
    if (judgeAddress(settings, compiled, address) != judgeAddress(codePage, settings, {white, black}, address))
        differ("navigation verdict");
    return 0;
}
