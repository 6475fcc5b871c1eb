// The compiled lists against the line-by-line reference on arbitrary bytes. The first byte
// picks the code page, the level and whether ad links are blocked; the rest is split at LF
// into list lines (the even ones also form the white list, the odd ones the black list)
// and, last, the address.
#include "core/compiled_list.h"
#include "core/navigation_filter.h"
#include "fuzz_input.h"

using namespace nimbrel;
using fuzz::broken;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned flags = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::vector<std::string> lines = fuzz::takeLines(rest);
    std::vector<std::string> white, black;
    for (std::size_t i = 0; i < lines.size(); ++i) (i % 2 ? black : white).push_back(lines[i]);
    const std::string_view address = rest;
    const CodePage codePage = fuzz::codePageOf(flags);

    const SearchText text(codePage, address);
    if (CompiledList(codePage, lines).firstMatch(text) != firstListMatch(lines, text))
        broken("compiled and reference differ: first matching line");

    static const wchar_t* const kLevels[] = {L"0", L"1", L"2", L"3", L"4", L"9", L"", L"1"};
    const FilterSettings settings{L"1", flags & 2 ? L"1" : L"0", kLevels[(flags >> 2) & 7], L"0"};
    const CompiledLists compiled(codePage, {white, black});
    if (judgeAddress(settings, compiled, address) != judgeAddress(codePage, settings, {white, black}, address))
        broken("compiled and reference differ: navigation verdict");
    return 0;
}
