// The built-in tables: sizes, the kinds of host entries and their order.
#include "core/ad_tables.h"

#include <gtest/gtest.h>

#include <cstdio>
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

bool fullMatch(const std::string& text, const char* pattern) {
    return std::regex_match(text, std::regex(pattern));
}

// No private, loopback, link-local or multicast range: ad servers are public hosts.
bool isPublicDotted(const std::string& text) {
    int a = 0, b = 0;
    std::sscanf(text.c_str(), "%d.%d", &a, &b);
    return !(a == 0 || a == 10 || a == 127 || a >= 224 || (a == 172 && b >= 16 && b <= 31) ||
             (a == 192 && b == 168) || (a == 169 && b == 254));
}

TEST(AdTablesTest, LocalPathAndWordTables) {
    EXPECT_EQ(entries(AdTable::localMarkers),
              (std::vector<std::string>{"file://", "a:\\", "c:\\", "d:\\", "e:\\", "f:\\", "g:\\", "h:\\",
                                        "z:\\"}));
    EXPECT_EQ(
        entries(AdTable::paths),
        (std::vector<std::string>{"/banner", "/banners/", "/smartbanner/", "/pop-", "/pop/", "/popme",
                                  "popup", "popdown", "/ad_", "pop-up", "go2net", "/ad.", "/ad/", "/ads/"}));
    EXPECT_EQ(entries(AdTable::words),
              (std::vector<std::string>{"ad1", "ad2", "ad3", "ad4", "ad5", "ad6", "ad_", "dollars.", "/ad.s/",
                                        "advertising", "/ads"}));
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
    for (std::size_t i = 35; i < 59; ++i) {
        const char* kind = i < 57 ? R"((25[0-5]|2[0-4]\d|1?\d?\d)(\.(25[0-5]|2[0-4]\d|1?\d?\d)){3})"
                                  : R"((25[0-5]|2[0-4]\d|1?\d?\d)(\.(25[0-5]|2[0-4]\d|1?\d?\d)){2}\.)";
        EXPECT_TRUE(fullMatch(hosts[i], kind) && isPublicDotted(hosts[i])) << hosts[i];
    }
    EXPECT_EQ(std::set<std::string>(hosts.begin(), hosts.end()).size(), hosts.size());
}

TEST(AdTablesTest, EntriesMatchInAnyLetterCase) {
    const SearchText address(CodePage::gb2312(), "HTTP://AD.DOUBLECLICK.NET/PopUp/");
    EXPECT_TRUE(containsAnyEntry(address, AdTable::hosts));
    EXPECT_TRUE(containsAnyEntry(address, AdTable::paths));
    EXPECT_FALSE(containsAnyEntry(address, AdTable::localMarkers));
}

}  // namespace
}  // namespace nimbrel
