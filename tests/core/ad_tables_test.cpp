// The built-in tables: their sizes, the kinds of host entries and their order.
#include "core/ad_tables.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

std::vector<std::string> entries(AdTable table) {
    const auto span = tableEntries(table);
    return {span.begin(), span.end()};
}

bool fullMatch(std::string_view text, const char* pattern) {
    return std::regex_match(std::string(text), std::regex(pattern));
}

// Whole or prefix dotted IPv4 of a public unicast address: no private, loopback or multicast range.
bool isPublicDotted(std::string_view text) {
    std::vector<int> parts;
    std::string part;
    for (char c : std::string(text) + ".") {
        if (c != '.') {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(std::stoi(part));
            part.clear();
        }
    }
    const bool inRange = std::all_of(parts.begin(), parts.end(), [](int p) { return p >= 0 && p <= 255; });
    const int a = parts.at(0);
    const int b = parts.at(1);
    const bool reserved = a == 0 || a == 10 || a == 127 || a >= 224 || (a == 172 && b >= 16 && b <= 31) ||
                          (a == 192 && b == 168) || (a == 169 && b == 254);
    return inRange && !reserved;
}

TEST(AdTablesTest, LocalMarkersAreFileSchemeAndNineDrives) {
    EXPECT_EQ(entries(AdTable::localMarkers),
              (std::vector<std::string>{"file://", "a:\\", "c:\\", "d:\\", "e:\\", "f:\\", "g:\\", "h:\\",
                                        "z:\\"}));
}

TEST(AdTablesTest, PathAndWordTables) {
    EXPECT_EQ(
        entries(AdTable::paths),
        (std::vector<std::string>{"/banner", "/banners/", "/smartbanner/", "/pop-", "/pop/", "/popme",
                                  "popup", "popdown", "/ad_", "pop-up", "go2net", "/ad.", "/ad/", "/ads/"}));
    EXPECT_EQ(entries(AdTable::words),
              (std::vector<std::string>{"ad1", "ad2", "ad3", "ad4", "ad5", "ad6", "ad_", "dollars.", "/ad.s/",
                                        "advertising", "/ads"}));
    EXPECT_EQ(kWordTableException, "read");
    EXPECT_EQ(kConditionalAdWord, "ad ");
    EXPECT_EQ(kConditionalAdWordVeto, "kill");
}

TEST(AdTablesTest, HostTableHoldsFiftyNineEntriesOfTheRightKindsInOrder) {
    const std::vector<std::string> hosts = entries(AdTable::hosts);
    ASSERT_EQ(hosts.size(), 59u);
    EXPECT_EQ(std::vector<std::string>(hosts.begin(), hosts.begin() + 4),
              (std::vector<std::string>{"doubleclick", "link4ads", "10155$", "w10."}));
    EXPECT_TRUE(fullMatch(hosts[4], R"(www\.[a-z0-9-]+\.?)")) << hosts[4];
    for (std::size_t i = 5; i < 34; ++i) {
        EXPECT_TRUE(fullMatch(hosts[i], R"([a-z0-9-]+(\.[a-z0-9-]+)*\.[a-z]{2,})")) << hosts[i];
    }
    EXPECT_TRUE(fullMatch(hosts[34], R"([a-z0-9.-]+\.[a-z]{2,}/[^?]+\?.+)")) << hosts[34];
    for (std::size_t i = 35; i < 57; ++i) {
        EXPECT_TRUE(fullMatch(hosts[i], R"(\d{1,3}\.\d{1,3}\.\d{1,3}\.\d{1,3})")) << hosts[i];
        EXPECT_TRUE(isPublicDotted(hosts[i])) << hosts[i];
    }
    for (std::size_t i = 57; i < 59; ++i) {
        EXPECT_TRUE(fullMatch(hosts[i], R"(\d{1,3}\.\d{1,3}\.\d{1,3}\.)")) << hosts[i];
        EXPECT_TRUE(isPublicDotted(hosts[i])) << hosts[i];
    }
    EXPECT_EQ(std::set<std::string>(hosts.begin(), hosts.end()).size(), hosts.size());
}

TEST(AdTablesTest, AtMostNinetySixFixedTestsPerNavigation) {
    const std::size_t fixed = entries(AdTable::localMarkers).size() + entries(AdTable::hosts).size() +
                              entries(AdTable::paths).size() + entries(AdTable::words).size() + 3;
    EXPECT_EQ(fixed, 96u);
}

TEST(AdTablesTest, EntriesMatchInAnyLetterCase) {
    const SearchText address(CodePage::gb2312(), "HTTP://AD.DOUBLECLICK.NET/PopUp/");
    EXPECT_TRUE(containsAnyEntry(address, AdTable::hosts));
    EXPECT_TRUE(containsAnyEntry(address, AdTable::paths));
    EXPECT_FALSE(containsAnyEntry(address, AdTable::localMarkers));
    EXPECT_FALSE(containsAnyEntry(SearchText(CodePage::gb2312(), "http://example.org/"), AdTable::hosts));
}

}  // namespace
}  // namespace nimbrel
