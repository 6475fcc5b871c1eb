// The compiled lists and tables against the line-by-line reference: the same first matching
// line and the same verdict for random lists and addresses, with GB2312 text whose trail
// bytes look like letters, lines of separators only, '*' at every place and very long lines.
#include "core/compiled_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/ad_tables.h"
#include "core/navigation_filter.h"

namespace nimbrel {
namespace {

// Bits of text that make pieces meet addresses often, in both letter cases.
const std::vector<std::string> kFragments = {
    "ad", "AD", "ads", "banner", "Banner", "x", "com", ".", "/", "?", " ", "\t", "*", "**", "read",
    "kill", "ad ", "popup", "doubleclick", "file://", "c:\\", "10155$", "w10.",
    "\xD0\xC2\xCE\xC5",  // 新闻
    "\x81\x41",          // a double-byte character whose trail byte is 'A'
    "\x81\x61",          // ... and 'a'
    "\xB0\x2F",          // ... and '/'
    "\x81",              // a lone lead byte
};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string text(std::size_t maxFragments) {
        std::string result;
        for (std::size_t n = pick(maxFragments + 1); n > 0; --n) result += kFragments[pick(kFragments.size())];
        return result;
    }

    std::vector<std::string> list() {
        std::vector<std::string> lines(pick(12));
        for (std::string& line : lines) {
            switch (pick(10)) {
                case 0: line = std::string(pick(6), " *\t"[pick(3)]); break;  // separators only
                case 1: line = text(3) + std::string(300 + pick(300), 'q') + text(3); break;  // very long
                default: line = text(6);
            }
        }
        return lines;
    }

    std::size_t pick(std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_); }

private:
    std::mt19937 random_;
};

std::string shown(std::string_view text) {
    std::string result;
    for (unsigned char c : text) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        result += c >= 32 && c < 127 ? std::string(1, static_cast<char>(c)) : std::string(hex);
    }
    return result;
}

std::string shown(const std::vector<std::string>& lines) {
    std::string result;
    for (const std::string& line : lines) result += "[" + shown(line) + "]";
    return result;
}

TEST(CompiledListTest, KnownAnswersAtCharacterBoundaries) {
    const struct {
        std::vector<std::string> lines;
        std::string_view address;
        std::optional<std::size_t> expected;
    } cases[] = {
        {{"n/a", "zzzz", "x/ads*banner"}, "http://x/ads/banner", 2},
        {{"BCDE"}, "http://\x81" "BCDE/", std::nullopt},  // "B" is the trail byte of a character
        {{"bcde", "cde/"}, "http://\x81" "BCDE/", 1},
        {{"    ", "ads/"}, "http://x/ads/", 0},
        {{"abc", "***", "ad *"}, "http://x/ad .com", 2},
        {{"\xD0\xC2\xCE\xC5*ad.", "\xC2\xCE\xC5\xA1"}, "http://x.cn/\xD0\xC2\xCE\xC5/Ad.html", 0},
        {{"\xC2\xCE\xC5/"}, "http://x.cn/\xD0\xC2\xCE\xC5/", std::nullopt},
    };
    for (const auto& c : cases) {
        const SearchText address(CodePage::gb2312(), c.address);
        EXPECT_EQ(CompiledList(CodePage::gb2312(), c.lines).firstMatch(address), c.expected) << shown(c.lines);
        EXPECT_EQ(firstListMatch(c.lines, address), c.expected) << shown(c.lines);
    }
}

TEST(CompiledListTest, RandomListsGiveTheReferenceAnswers) {
    Generator generate(20261208);
    std::size_t matched = 0, compared = 0;
    for (int round = 0; round < 1500; ++round) {
        const CodePage codePage = round % 4 == 0 ? CodePage::singleByte() : CodePage::gb2312();
        const std::vector<std::string> lines = generate.list();
        const CompiledList compiled(codePage, lines);
        for (int n = 0; n < 8; ++n) {
            const std::string address = generate.text(12);
            const SearchText text(codePage, address);
            const auto expected = firstListMatch(lines, text);
            ASSERT_EQ(compiled.firstMatch(text), expected) << shown(lines) << " / " << shown(address);
            matched += expected.has_value();
            ++compared;
        }
    }
    // Both outcomes must be common, or the comparison proves little.
    EXPECT_GT(matched, compared / 5);
    EXPECT_LT(matched, compared * 4 / 5);
}

// Long lists whose lines share pieces, also in other letter cases, and hold many more pieces
// than lines: every piece is numbered once however often it recurs, and the numbering keeps
// its answers while its table grows.
TEST(CompiledListTest, LongListsOfSharedPiecesGiveTheReferenceAnswers) {
    Generator generate(84000);
    for (const std::size_t lineCount : {40, 400, 4000}) {
        std::vector<std::string> lines(lineCount);
        for (std::string& line : lines) {
            for (std::size_t piece = 1 + generate.pick(3); piece > 0; --piece)
                line += generate.text(1) + std::to_string(generate.pick(20)) + "*";
        }
        const CompiledList compiled(CodePage::gb2312(), lines);
        std::set<std::optional<std::size_t>> answers;
        for (int n = 0; n < 300; ++n) {
            std::string address;
            for (int part = 0; part < 6; ++part) address += generate.text(2) + std::to_string(generate.pick(20));
            const SearchText text(CodePage::gb2312(), address);
            const auto expected = firstListMatch(lines, text);
            ASSERT_EQ(compiled.firstMatch(text), expected) << lineCount << " lines / " << shown(address);
            answers.insert(expected);
        }
        EXPECT_GT(answers.size(), 5u) << lineCount << " lines: the answers must vary to prove much";
    }
}

TEST(CompiledListTest, RandomVerdictsAtEveryLevelGiveTheReferenceAnswers) {
    Generator generate(7);
    std::vector<std::string> tableWords;
    for (AdTable table : {AdTable::hosts, AdTable::paths, AdTable::words})
        for (std::string_view entry : tableEntries(table)) tableWords.emplace_back(entry);
    std::size_t cancelled = 0, compared = 0;
    for (int round = 0; round < 300; ++round) {
        const std::vector<std::string> white = generate.list(), black = generate.list();
        const CompiledLists compiled(CodePage::gb2312(), {white, black});
        for (int n = 0; n < 6; ++n) {
            const std::string address = generate.text(4) + tableWords[generate.pick(tableWords.size())] + generate.text(4);
            for (const wchar_t* level : {L"0", L"1", L"2", L"3", L"7"}) {
                for (const wchar_t* killurl : {L"1", L"0"}) {
                    const FilterSettings settings{L"1", killurl, level, L"0"};
                    BlockReason expectedReason, reason;
                    const NavigationVerdict expected =
                        judgeAddress(CodePage::gb2312(), settings, {white, black}, address, {}, &expectedReason);
                    ASSERT_EQ(judgeAddress(settings, compiled, address, nullptr, &reason), expected)
                        << shown(white) << " | " << shown(black) << " / " << shown(address);
                    ASSERT_EQ(reason, expectedReason) << shown(black) << " / " << shown(address);
                    cancelled += expected.cancel;
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(cancelled, compared / 10);
    EXPECT_LT(cancelled, compared / 2);
}

}  // namespace
}  // namespace nimbrel
