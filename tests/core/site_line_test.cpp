// The white-list line for a logged address's site, and finding a line again in a box.
#include "core/site_line.h"

#include "core/url_pattern.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(SiteLineTest, TheLineNamesTheHostAsWrittenAndMatchesItsAddressOnly) {
    const CodePage gb = CodePage::gb2312();
    // `passes`: the address the line must match (its own, unless the host is not followed by
    // a "/" or hides behind user information, which Internet Explorer refuses to open anyway).
    const struct {
        std::string_view address;
        std::optional<std::string> line;
        std::string_view passes;
    } cases[] = {
        {"http://ads.example.com/x.js", "//ADS.EXAMPLE.COM/", "http://ads.example.com/x.js"},
        {"https://cdn.Metrics.example.com:8080/y.png?a=1", "//CDN.METRICS.EXAMPLE.COM:8080/",
         "https://cdn.Metrics.example.com:8080/y.png?a=1"},
        {"http://Tracker.Test./", "//TRACKER.TEST./", "http://Tracker.Test./"},
        {"http://user:pw@news.test/a", "//NEWS.TEST/", "http://news.test/a"},
        {"http://[::1]:81/", "//[::1]:81/", "http://[::1]:81/"},
        {"http://a.test?q=http://b.test/", "//A.TEST/", "http://a.test/?q=1"},
        {"http://a.test\\b", "//A.TEST/", "http://a.test/b"},
        // trail bytes equal to "@" and "\"; one equal to "a" stays as it is
        {"http://\xD6\x40\xD6\x5C.cn/x", "//\xD6\x40\xD6\x5C.CN/", "http://\xD6\x40\xD6\x5C.cn/x"},
        {"http://\xB9\x61.cn/", "//\xB9\x61.CN/", "http://\xB9\x61.cn/"},
        {"Popup ad", std::nullopt, ""},
        {"://x.test/", std::nullopt, ""},
        {"http:///path", std::nullopt, ""},
        {"http://:80/", std::nullopt, ""},
        {"http://[]/", std::nullopt, ""},
        {"http://a b.test/", std::nullopt, ""},
        {"http://a*b.test/", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        const auto line = siteLine(gb, c.address);
        EXPECT_EQ(line, c.line);
        if (line) {
            EXPECT_TRUE(urlmatch(gb, *line, c.passes));
        }
    }
    const std::string line = *siteLine(gb, "http://ads.example.com/");
    EXPECT_FALSE(urlmatch(gb, line, "http://bads.example.com/"));
    EXPECT_FALSE(urlmatch(gb, line, "http://ads.example.com.other.org/"));
    EXPECT_TRUE(urlmatch(gb, line, "https://ADS.example.com/other/page"));
}

TEST(SiteLineTest, ALineIsFoundAtItsOwnPlaceFirstThenWhereverItIs) {
    const CodePage gb = CodePage::gb2312();
    const std::vector<std::string> lines{"mine", "//ads.test/", "x", "  //ADS.TEST/\t", "\xB9\x61"};
    EXPECT_EQ(findLine(gb, lines, "//ADS.TEST/"), 1u);
    EXPECT_EQ(findLine(gb, lines, "//ADS.TEST/", 3), 3u);
    EXPECT_EQ(findLine(gb, lines, "//ads.test/", 2), 1u) << "moved: found where it is now";
    EXPECT_EQ(findLine(gb, lines, "//ads.test/", 99), 1u);
    EXPECT_EQ(findLine(gb, lines, "//ads.test"), std::nullopt);
    EXPECT_EQ(findLine(gb, lines, "\xB9\x61"), 4u);
    EXPECT_EQ(findLine(gb, lines, "\xB9\x41"), std::nullopt) << "a trail byte is no letter";
    EXPECT_EQ(findLine(gb, {}, "x"), std::nullopt);
}

}  // namespace
}  // namespace nimbrel
