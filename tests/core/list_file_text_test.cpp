#include "core/list_file_text.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

// Line ends are found in the bytes: a GBK lead byte (0xAD, the last byte of 中 in UTF-8)
// before CR LF never takes the CR, and UTF-16 splits on whole units only.
TEST(ListFileTextTest, LinesAreSplitInTheBytesAndJoinedBackWithCrLf) {
    struct Case {
        std::string bytes;
        ListEncoding encoding;
        Lines lines;
        bool finalBreak;
        std::string joined;  // every line end made CR LF
    };
    const Case cases[] = {
        {"", ListEncoding::ansi, {}, false, ""},
        {"a\xE4\xB8\xAD\r\nb", ListEncoding::ansi, {"a\xE4\xB8\xAD", "b"}, false, "a\xE4\xB8\xAD\r\nb"},
        {"\xAD\r\xAD\n\xAD\r\n", ListEncoding::ansi, {"\xAD", "\xAD", "\xAD"}, true, "\xAD\r\n\xAD\r\n\xAD\r\n"},
        {"\r\n\r\n", ListEncoding::ansi, {"", ""}, true, "\r\n\r\n"},
        {"ab\0cd\n"s, ListEncoding::ansi, {"ab\0cd"s}, true, "ab\0cd\r\n"s},
        {"\xEF\xBB\xBF\xE4\xB8\xAD\r\n", ListEncoding::utf8, {"\xE4\xB8\xAD"}, true, "\xEF\xBB\xBF\xE4\xB8\xAD\r\n"},
        {"\xEF\xBB\xBF", ListEncoding::utf8, {}, false, "\xEF\xBB\xBF"},
        // 0x0D00 and 0x0A0D are characters in UTF-16, not line ends; a lone last byte stays.
        {"\xFF\xFE\x00\x0D\r\0\x0D\x0A\n\0x"s, ListEncoding::utf16le, {"\x00\x0D"s, "\x0D\x0A"s, "x"}, false,
         "\xFF\xFE\x00\x0D\r\0\n\0\x0D\x0A\r\0\n\0x"s},
        {"\xFF\xFE\r\0"s, ListEncoding::utf16le, {""}, true, "\xFF\xFE\r\0\n\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        const ListFileLines file = splitListFile(c.bytes);
        EXPECT_EQ(file.encoding, c.encoding);
        EXPECT_EQ(file.lines, c.lines);
        EXPECT_EQ(file.finalBreak, c.finalBreak);
        EXPECT_EQ(joinListFile(file), c.joined);
        EXPECT_EQ(joinListFile(splitListFile(c.joined)), c.joined) << "a joined file splits the same way again";
    }
}

}  // namespace
}  // namespace nimbrel
