#include "core/list_file_text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>

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
        {"a\xE4\xB8\xAD\r\nb", ListEncoding::utf8NoMark, {"a\xE4\xB8\xAD", "b"}, false, "a\xE4\xB8\xAD\r\nb"},
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

// Without a mark, UTF-8 is told by its bytes: well-formed, with a character of three bytes
// or more (every Chinese one). Anything else stays ANSI, as before.
TEST(ListFileTextTest, Utf8WithoutAMarkIsToldByItsBytes) {
    const struct {
        const char* name;
        std::string bytes;
        ListEncoding encoding;
    } cases[] = {
        {"ASCII", "plain.example\r\n", ListEncoding::ansi},
        {"过滤中, 网站", "\xE8\xBF\x87\xE6\xBB\xA4\xE4\xB8\xAD\r\n\xE7\xBD\x91\xE7\xAB\x99", ListEncoding::utf8NoMark},
        {"four bytes", "x\xF0\x9F\x98\x80", ListEncoding::utf8NoMark},
        {"广告 in GB2312", "\xB9\xE3\xB8\xE6", ListEncoding::ansi},
        {"two-byte sequences only, as GB2312 can be", "\xD7\xB4\xCC\xAC", ListEncoding::ansi},
        {"overlong", "\xE0\x80\xAF\xE4\xB8\xAD", ListEncoding::ansi},
        {"surrogate", "\xED\xA0\x80\xE4\xB8\xAD", ListEncoding::ansi},
        {"past U+10FFFF", "\xF4\x90\x80\x80", ListEncoding::ansi},
        {"cut short", "\xE4\xB8\xAD\xE4\xB8", ListEncoding::ansi},
        {"a stray continuation byte", "\xE4\xB8\xAD\xAD", ListEncoding::ansi},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitListFile(c.bytes).encoding, c.encoding);
    }
}

std::string gb2312ToUtf8(const std::string& text) {
    iconv_t convert = iconv_open("UTF-8", "GB2312");
    if (convert == reinterpret_cast<iconv_t>(-1)) return {};
    std::string in = text, out(text.size() * 2 + 4, '\0');
    char* from = in.data();
    char* to = out.data();
    size_t fromLeft = in.size(), toLeft = out.size();
    const bool done = iconv(convert, &from, &fromLeft, &to, &toLeft) != static_cast<size_t>(-1);
    iconv_close(convert);
    return done ? out.substr(0, out.size() - toLeft) : std::string();
}

// Real GB2312 text: the program's own captions and thousands of short lines from the
// Simplified Chinese message catalogues of Debian packages (coreutils, apt, dpkg, GTK, GLib,
// bash, glibc, the ISO 3166-2 names of iso-codes), converted with iconv. Short lines are
// the hard case: about one in a hundred forms valid UTF-8 by chance, always in two-byte
// sequences. None may be taken for UTF-8, and each one's UTF-8 form must be.
TEST(ListFileTextTest, RealGb2312TextIsNeverTakenForUtf8) {
    std::ifstream data(NIMBREL_CORE_TEST_DATA "/gb2312_lines.txt", std::ios::binary);
    ASSERT_TRUE(data) << "missing test data";
    int lines = 0, wellFormed = 0;
    for (std::string line; std::getline(data, line); ++lines) {
        SCOPED_TRACE(line);
        const std::string utf8 = gb2312ToUtf8(line);
        ASSERT_FALSE(utf8.empty()) << "not GB2312";
        EXPECT_EQ(splitListFile(line).encoding, ListEncoding::ansi);
        EXPECT_EQ(splitListFile(utf8).encoding, ListEncoding::utf8NoMark);
        wellFormed += splitListFile(line + "\xE4\xB8\xAD").encoding == ListEncoding::utf8NoMark;
    }
    EXPECT_GE(lines, 3000);
    std::printf("[ GB2312   ] %d lines, %d of them well-formed UTF-8 by chance (two-byte sequences only)\n", lines,
                wellFormed);
}

}  // namespace
}  // namespace nimbrel
