// Importing published ad-server lists: which lines name hosts, the anchored lines they
// become, duplicates, and the text encodings a list file comes in.
#include "core/ad_server_list.h"
#include "core/url_pattern.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using Hosts = std::optional<std::vector<std::string_view>>;
const Hosts kNothing = std::vector<std::string_view>{};
const Hosts kNotUnderstood = std::nullopt;

TEST(AdServerListTest, EveryLineFormGivesItsHostsOrIsSkipped) {
    const struct {
        std::string_view line;
        Hosts hosts;
    } cases[] = {
        {"0.0.0.0 ads.example.com", Hosts{{"ads.example.com"}}},
        {"127.0.0.1\tads.example.com", Hosts{{"ads.example.com"}}},
        {"  0.0.0.0   a.test  b.test\tc.test  # three at once", Hosts{{"a.test", "b.test", "c.test"}}},
        {":: ads.example.com", Hosts{{"ads.example.com"}}},
        {"||Ads.Example.com^", Hosts{{"Ads.Example.com"}}},
        {"  ||ad_srv-1.example.com^  ", Hosts{{"ad_srv-1.example.com"}}},
        {"tracker.example.net", Hosts{{"tracker.example.net"}}},
        {"tracker.example.net # a note", Hosts{{"tracker.example.net"}}},
        {"0.0.0.0 ads.example.com # \x80", Hosts{{"ads.example.com"}}},  // only the host must be ASCII
        {"", kNothing},
        {"# a comment", kNothing},
        {"###################", kNothing},
        {"## section", kNothing},
        {"! Title: EasyList", kNothing},
        {"[Adblock Plus 2.0]", kNothing},
        {"# \x80\x80 comments may hold anything", kNothing},
        {"||ads.example.com^$third-party", kNotUnderstood},
        {"||ads.example.com/banner/", kNotUnderstood},
        {"||ads.example.com", kNotUnderstood},
        {"||ads*.example.com^", kNotUnderstood},
        {"@@||ads.example.com^", kNotUnderstood},
        {"example.com##.ad-banner", kNotUnderstood},
        {"##.ad-banner", kNotUnderstood},
        {"-ad-300x250.", kNotUnderstood},
        {"192.168.1.1 router.example.com", kNotUnderstood},  // a real address, not a block
        {"127.0.0.1 localhost.localdomain", kNotUnderstood},
        {"0.0.0.0 0.0.0.0", kNotUnderstood},
        {"0.0.0.0 ads.example.com bad/host.example.com", kNotUnderstood},
        {"ads.example.com.", kNotUnderstood},
        {"ads.example.com tracker.example.net", kNotUnderstood},
        {"\x80\x80.example.com", kNotUnderstood},  // not ASCII
        {"ads.ex\xC3\xA4mple.com", kNotUnderstood},
    };
    for (const auto& c : cases) EXPECT_EQ(hostsOfListLine(c.line), c.hosts) << testing::PrintToString(c.line);
}

// The anchored line hits the host and what lies under it, not a longer name ending in it.
TEST(AdServerListTest, AnAnchoredLineMatchesItsHostOnly) {
    const std::string line = anchoredHostLine("c.live.com");
    EXPECT_EQ(line, "//C.LIVE.COM/");
    const CodePage gb = CodePage::gb2312();
    EXPECT_TRUE(urlmatch(gb, line, "http://c.live.com/x.js"));
    EXPECT_TRUE(urlmatch(gb, line, "HTTPS://C.Live.Com/"));
    EXPECT_FALSE(urlmatch(gb, line, "http://static.live.com/x.js"));
    EXPECT_FALSE(urlmatch(gb, line, "http://c.live.com.example.net/"));
    EXPECT_TRUE(urlmatch(gb, "C.LIVE.COM", "http://static.live.com/x.js")) << "as a plain line it would";
}

TEST(AdServerListTest, ImportCountsAddedAlreadyThereAndSkippedLines) {
    const std::string list =
        "# hosts\r\n"
        "0.0.0.0 one.test two.test\r\n"
        "\r\n"
        "||three.test^\n"
        "||one.test^\r"                // again, in another form
        "old.test\n"                   // in the box already, other letter case
        "||four.test^$script\r\n"      // skipped
        "@@||five.test^\n"             // skipped
        "\xD6\xD0\xCE\xC4.test\r\n";   // skipped: not ASCII
    const AdServerImport result = planAdServerImport("keep me\r\n  //OLD.test/ \r\n", list);
    EXPECT_EQ(result.appendedText, "//ONE.TEST/\r\n//TWO.TEST/\r\n//THREE.TEST/\r\n");
    EXPECT_EQ(result.added, 3u);
    EXPECT_EQ(result.alreadyThere, 2u);
    EXPECT_EQ(result.skipped, 3u);
}

TEST(AdServerListTest, AnUnendedLastLineOfTheBoxGetsItsLineEndFirst) {
    EXPECT_EQ(planAdServerImport("mine", "x.test").appendedText, "\r\n//X.TEST/\r\n");
    EXPECT_EQ(planAdServerImport("", "x.test").appendedText, "//X.TEST/\r\n");
    EXPECT_EQ(planAdServerImport("mine", "# nothing").appendedText, "") << "nothing added, nothing touched";
    EXPECT_EQ(planAdServerImport("", ""), AdServerImport{});
}

// The same list in every encoding a file may have reads the same.
TEST(AdServerListTest, AnsiUtf8AndUtf16FilesReadAlike) {
    const std::string ascii = "# \xE4\xB8\xAD\r\n0.0.0.0 a.test\r\n\xE4\xB8\xAD.test\r\n||b.test^\r\n";
    const auto utf16 = [&](bool little) {
        std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const char c : std::string("# \x80\r\n0.0.0.0 a.test\r\n\x80.test\r\n||b.test^\r\n")) {
            const char high = c == '\x80' ? '\x4E' : '\0';  // U+4E2D in place of the marker
            const char low = c == '\x80' ? '\x2D' : c;
            out += little ? std::string{low, high} : std::string{high, low};
        }
        return out;
    };
    const AdServerImport expected{"//A.TEST/\r\n//B.TEST/\r\n", 2, 0, 1};
    EXPECT_EQ(planAdServerImport("", ascii), expected) << "UTF-8 without a mark, or ANSI";
    EXPECT_EQ(planAdServerImport("", "\xEF\xBB\xBF" + ascii), expected) << "UTF-8 with its mark";
    EXPECT_EQ(planAdServerImport("", utf16(true)), expected) << "UTF-16 little-endian";
    EXPECT_EQ(planAdServerImport("", utf16(false)), expected) << "UTF-16 big-endian";
    EXPECT_EQ(asciiTextOf(std::string("\xFF\xFE" "a\0\x00\xD8\x01", 7)), "a\x80\x80") << "odd byte at the end";
}

}  // namespace
}  // namespace nimbrel
