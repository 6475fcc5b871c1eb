// Published lists read into hosts: each line form, the forms not used, spacing, line ends,
// encodings, international names, "Expires" and what is refused as not a list.
#include "core/filter_list_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

// Stands in for IdnToAscii: each label with a non-ASCII character becomes "xn--" and the hex
// of its UTF-16 units; a name holding '!' cannot be converted.
std::optional<std::string> fakeIdnToAscii(std::u16string_view host) {
    if (host.find(u'!') != std::u16string_view::npos) return std::nullopt;
    std::string out;
    std::size_t start = 0;
    while (start <= host.size()) {
        const std::size_t end = std::min(host.find(u'.', start), host.size());
        const std::u16string_view label = host.substr(start, end - start);
        const bool ascii = std::all_of(label.begin(), label.end(), [](char16_t c) { return c < 0x80; });
        if (!ascii) out += "xn--";
        for (char16_t c : label) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(c));
            out += ascii ? std::string(1, static_cast<char>(c)) : std::string(hex);
        }
        if (end < host.size()) out += '.';
        start = end + 1;
    }
    return out;
}

// Stands in for the ANSI code page: Latin-1, one byte a character.
std::u16string latin1ToUtf16(std::string_view bytes) {
    std::u16string out;
    for (char c : bytes) out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

FilterListRules parse(std::string_view bytes) { return parseFilterList(bytes, fakeIdnToAscii, latin1ToUtf16); }

template <std::size_t N>
std::string bytesOf(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::string joined(const std::vector<std::string>& hosts) {
    std::string out;
    for (const std::string& host : hosts) out += (out.empty() ? "" : " ") + host;
    return out;
}

TEST(FilterListParseTest, LineForms) {
    const struct {
        std::string_view text, blocked, allowed;
        std::size_t used, unused;
    } cases[] = {
        // Filter-list host rules, with or without the closing '|'; exceptions.
        {"||ads.example.com^", "ads.example.com", "", 1, 0},
        {"||ads.example.com^|", "ads.example.com", "", 1, 0},
        {"||Ads.Example.COM.^", "ads.example.com", "", 1, 0},
        {"||1.2.3.4^", "1.2.3.4", "", 1, 0},
        {"@@||good.example.com^", "", "good.example.com", 1, 0},
        {"@@||good.example.com^|", "", "good.example.com", 1, 0},
        // Other rule forms: options, paths, wildcards, element rules, a bare label.
        {"||ads.example.com^$third-party", "", "", 0, 1},
        {"@@||good.example.com^$document", "", "", 0, 1},
        {"||ads.example.com/banner^", "", "", 0, 1},
        {"||ads.example.com:8080^", "", "", 0, 1},
        {"||*.example.com^", "", "", 0, 1},
        {"||ads.example.com", "", "", 0, 1},
        {"||example^", "", "", 0, 1},
        {"|http://ads.example.com/", "", "", 0, 1},
        {"/banner/*/img^", "", "", 0, 1},
        {"example.com##.banner", "", "", 0, 1},
        {"##.banner", "", "", 0, 1},
        {"#@#.banner", "", "", 0, 1},
        {"ads.example.com/ads", "", "", 0, 1},
        {"||ads..example.com^", "", "", 0, 1},
        // Hosts files: several hosts a line, trailing comments, tabs.
        {"0.0.0.0 ads.example.com", "ads.example.com", "", 1, 0},
        {"127.0.0.1\tads.example.com  # tracker", "ads.example.com", "", 1, 0},
        {"0.0.0.0 a.example.com b.example.com", "a.example.com b.example.com", "", 1, 0},
        {"::1 ads.example.com", "ads.example.com", "", 1, 0},
        {"0.0.0.0 a.example.com localhost", "a.example.com", "", 1, 0},
        // ... and the names that are not used, or addresses that do not block.
        {"127.0.0.1 localhost", "", "", 0, 1},
        {"127.0.0.1 localhost.localdomain", "", "", 0, 1},
        {"::1 localhost ip6-localhost ip6-loopback", "", "", 0, 1},
        {"ff02::1 ip6-allnodes", "", "", 0, 1},
        {"255.255.255.255 broadcasthost", "", "", 0, 1},
        {"0.0.0.0 local", "", "", 0, 1},
        {"0.0.0.0 intranet", "", "", 0, 1},
        {"0.0.0.0 0.0.0.0", "", "", 0, 1},
        {"10.0.0.1 ads.example.com", "", "", 0, 1},
        // Plain host names, with odd spacing.
        {"ads.example.com", "ads.example.com", "", 1, 0},
        {"  \t ads.example.com \t ", "ads.example.com", "", 1, 0},
        {"ads.example.com # note", "ads.example.com", "", 1, 0},
        {"ads.example.com other.example.com", "", "", 0, 1},
        {"localhost", "", "", 0, 1},
        // Comments, headers and blanks count neither way.
        {"! Title: EasyList", "", "", 0, 0},
        {"# a comment", "", "", 0, 0},
        {"#### section ####", "", "", 0, 0},
        {"[Adblock Plus 2.0]", "", "", 0, 0},
        {"   \t  ", "", "", 0, 0},
        // Tracking-protection forms mean nothing without the list's header.
        {"-d ads.example.com", "", "", 0, 1},
    };
    for (const auto& c : cases) {
        const FilterListRules rules = parse(c.text);
        EXPECT_EQ(joined(rules.blocked), c.blocked) << c.text;
        EXPECT_EQ(joined(rules.allowed), c.allowed) << c.text;
        EXPECT_EQ(rules.used, c.used) << c.text;
        EXPECT_EQ(rules.unused, c.unused) << c.text;
    }
}

TEST(FilterListParseTest, TrackingProtectionList) {
    const FilterListRules rules = parse(
        "msFilterList\r\n: Expires=5\r\n: Title=Example\r\n# comment\r\n-d ads.example.com\r\n+d good.example.com\r\n"
        "-d track.example.com /pixel\r\n-*.js\r\n||other.example.com^\r\n-d  Mixed.Example.COM  \r\n");
    EXPECT_EQ(joined(rules.blocked), "ads.example.com mixed.example.com");
    EXPECT_EQ(joined(rules.allowed), "good.example.com");
    EXPECT_EQ(rules.used, 3u);
    EXPECT_EQ(rules.unused, 3u);
    EXPECT_EQ(rules.expires, std::chrono::hours(120));
    EXPECT_TRUE(rules.isList);
}

TEST(FilterListParseTest, EveryLineEndSeparatesLines) {
    const FilterListRules rules = parse("a.example.com\rb.example.com\nc.example.com\r\nd.example.com\n\re.example.com");
    EXPECT_EQ(joined(rules.blocked), "a.example.com b.example.com c.example.com d.example.com e.example.com");
    EXPECT_EQ(rules.used, 5u);
    EXPECT_EQ(rules.unused, 0u);
}

std::string utf16(std::u16string_view text, bool littleEndian) {
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t c : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

TEST(FilterListParseTest, EncodingsAndInternationalNames) {
    // 例子.测试 and bücher: converted by the IDN function, not dropped.
    const struct {
        std::string name, bytes, blocked;
    } cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF||\xE4\xBE\x8B\xE5\xAD\x90.\xE6\xB5\x8B\xE8\xAF\x95^\r\n0.0.0.0 ads.b\xC3\xBC" "cher.de",
         "xn--4f8b5b50.xn--6d4b8bd5 ads.xn--62fc63686572.de"},
        {"UTF-8 without mark", "||\xE4\xBE\x8B\xE5\xAD\x90.\xE6\xB5\x8B\xE8\xAF\x95^\nads.b\xC3\xBC" "cher.de",
         "xn--4f8b5b50.xn--6d4b8bd5 ads.xn--62fc63686572.de"},
        {"UTF-16 LE", utf16(u"||\u4F8B\u5B50.\u6D4B\u8BD5^\r\nads.b\u00FCcher.de\r\n", true),
         "xn--4f8b5b50.xn--6d4b8bd5 ads.xn--62fc63686572.de"},
        {"UTF-16 BE", utf16(u"||\u4F8B\u5B50.\u6D4B\u8BD5^\r\nads.b\u00FCcher.de\r\n", false),
         "xn--4f8b5b50.xn--6d4b8bd5 ads.xn--62fc63686572.de"},
        {"ANSI", "ads.b\xFC" "cher.de\r\n||plain.example.com^", "ads.xn--62fc63686572.de plain.example.com"},
        {"no conversion", "||b\xC3\xBC" "cher!.de^\r\n||plain.example.com^", "plain.example.com"},
        {"UTF-16 cut in half a character", utf16(u"ads.example.com\r\n", true) + "x", "ads.example.com"},
    };
    for (const auto& c : cases) {
        const FilterListRules rules = parse(c.bytes);
        EXPECT_EQ(joined(rules.blocked), c.blocked) << c.name;
        EXPECT_TRUE(rules.isList) << c.name;
    }
    EXPECT_EQ(parse("||b\xC3\xBC" "cher!.de^").unused, 1u);
}

TEST(FilterListParseTest, Expires) {
    const struct {
        std::string_view text;
        std::optional<int> hours;
    } cases[] = {
        {"! Expires: 4 days (update frequency)\n||a.example.com^", 96},
        {"! Expires: 12 hours\n||a.example.com^", 12},
        {"!expires:1 day\n||a.example.com^", 24},
        {"! Expires: 6h\n||a.example.com^", 6},
        {"! Expires: 2\n||a.example.com^", 48},
        {"# Expires: 3 days\n0.0.0.0 a.example.com", 72},
        {"! Expires: soon\n||a.example.com^", std::nullopt},
        {"! Title: Expires: 4 days\n||a.example.com^", std::nullopt},
        {"||a.example.com^\n! Expires: 2 days\n! Expires: 9 days", 48},
        {"||a.example.com^", std::nullopt},
        {"! Expires: 99999999999999999999 days\n||a.example.com^", 100000 * 24},
    };
    for (const auto& c : cases) {
        const FilterListRules rules = parse(c.text);
        const std::optional<int> hours =
            rules.expires ? std::optional<int>(static_cast<int>(rules.expires->count())) : std::nullopt;
        EXPECT_EQ(hours, c.hours) << c.text;
    }
}

TEST(FilterListParseTest, WhatIsNotAList) {
    const std::string rules = "||a.example.com^\n||b.example.com^\n";
    const struct {
        std::string name, bytes;
        bool isList;
    } cases[] = {
        {"filter list", "[Adblock Plus 2.0]\n! Title: x\n" + rules, true},
        {"hosts file", "# hosts\n127.0.0.1 localhost\n0.0.0.0 ads.example.com\n", true},
        {"a list with one stray tag", rules + "||c.example.com^\n<br>\n", true},
        {"web page", "<!DOCTYPE html>\n<html><body>\nads.example.com\n</body></html>\n", false},
        {"captive portal after a blank line", "\r\n\r\n<html>\n<head><title>Login</title></head>\nwifi.example.com\n"
                                               "<p>Please sign in</p>\n</html>", false},
        {"page with text before its markup", "Sign in to continue\nportal.example.com\n<form>\n<input>\n</form>\n", false},
        {"JSON error", "{\"error\": \"not found\",\n\"host\": \"ads.example.com\"}\n", false},
        {"JSON array of hosts", "[\"a.example.com\",\n\"b.example.com\"]\n", false},
        {"binary", bytesOf("\x7F" "ELF\x02\x01\x01\0\0\0\n||a.example.com^\n"), false},
        {"UTF-16 without a mark", bytesOf("a\0.\0b\0.\0c\0\n\0"), false},
        {"comments only", "! Title: empty\n! Expires: 1 day\n", false},
        {"prose", "Service temporarily unavailable.\nPlease try again later.\n", false},
        {"empty", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.bytes).isList, c.isList) << c.name;
}

}  // namespace
}  // namespace nimbrel
