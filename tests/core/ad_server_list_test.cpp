// Importing published ad-server lists: which lines name hosts, the anchored lines they
// become, duplicates, and the text encodings a list file comes in.
#include "core/ad_server_list.h"

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
        {"  127.0.0.1   a.test  b.test\tc.test  # three at once", Hosts{{"a.test", "b.test", "c.test"}}},
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
    };
    for (const auto& c : cases) EXPECT_EQ(hostsOfListLine(c.line), c.hosts) << testing::PrintToString(c.line);
}

// Duplicates in the box (any letter case, any blanks around) and in the list itself count as
// already there; the box's unended last line gets its line end before the new lines.
TEST(AdServerListTest, ImportCountsAddedAlreadyThereAndSkippedLines) {
    const std::string list =
        "# hosts\r\n0.0.0.0 one.test two.test\r\n\r\n||three.test^\n"
        "||one.test^\r"             // again, in another form
        "old.test\n"                // in the box already
        "||four.test^$script\r\n"   // skipped
        "\xD6\xD0\xCE\xC4.test\r\n";  // skipped: not ASCII
    EXPECT_EQ(planAdServerImport("keep me\r\n  //OLD.test/ ", list),
              (AdServerImport{"\r\n//ONE.TEST/\r\n//TWO.TEST/\r\n//THREE.TEST/\r\n", 3, 2, 2}));
    EXPECT_EQ(planAdServerImport("mine", "# nothing"), AdServerImport{}) << "nothing added, nothing touched";
    // The box's own UTF-16 text plans alike; a line that is not ASCII is never a host line.
    EXPECT_EQ(planAdServerImport(L"keep me\r\n  //OLD.test/ ", list),
              planAdServerImport("keep me\r\n  //OLD.test/ ", list));
    EXPECT_EQ(planAdServerImport(L"\x5E7F\x544A\r\n//ONE.TEST/\r\n", "one.test\r\ntwo.test"),
              (AdServerImport{"//TWO.TEST/\r\n", 1, 1, 0}));
}

// A box that took only the first characters of the new lines holds its whole lines only:
// a host line cut short ("//TWO.TE") would block every host that begins so.
TEST(AdServerListTest, WhatABoxTookCountsItsWholeLinesOnly) {
    const AdServerImport planned{"\r\n//ONE.TEST/\r\n//TWO.TEST/\r\n", 2, 1, 3};  // 2 + 13 + 13 characters
    const std::string one = "\r\n//ONE.TEST/\r\n";
    const struct {
        std::size_t received;
        AdServerImport part;
    } cases[] = {
        {0, {"", 0, 1, 3, 2}},
        {2, {"", 0, 1, 3, 2}},  // the line break before the new lines adds nothing alone
        {14, {"", 0, 1, 3, 2}},
        {15, {one, 1, 1, 3, 1}},
        {27, {one, 1, 1, 3, 1}},
        {28, planned},
        {1000, planned},
    };
    for (const auto& c : cases) EXPECT_EQ(receivedPart(planned, c.received), c.part) << c.received;
    EXPECT_EQ(receivedPart(receivedPart(planned, 20), 3), (AdServerImport{"", 0, 1, 3, 2})) << "cut twice";
    EXPECT_EQ(receivedPart({"//A.TEST/\r\n//B.TEST/\r\n", 2, 0, 0}, 11), (AdServerImport{"//A.TEST/\r\n", 1, 0, 0, 1}));
}

// The same list in every encoding a file may have reads the same: U+4E2D in a comment and in a host.
TEST(AdServerListTest, AnsiUtf8AndUtf16FilesReadAlike) {
    const std::string text = "# @\r\n0.0.0.0 a.test\r\n@.test\r\n||b.test^";
    std::string utf8, little = "\xFF\xFE", big = "\xFE\xFF";
    for (const char c : text) {
        utf8 += c == '@' ? std::string("\xE4\xB8\xAD") : std::string{c};
        little += c == '@' ? std::string("\x2D\x4E") : std::string{c, '\0'};
        big += c == '@' ? std::string("\x4E\x2D") : std::string{'\0', c};
    }
    const AdServerImport expected{"//A.TEST/\r\n//B.TEST/\r\n", 2, 0, 1};
    for (const std::string& file : {utf8, "\xEF\xBB\xBF" + utf8, little, big})
        EXPECT_EQ(planAdServerImport("", file), expected) << testing::PrintToString(file);
    EXPECT_EQ(asciiTextOf(std::string("\xFF\xFE" "a\0\x00\xD8\x01", 7)), "a\x80\x80") << "odd byte at the end";
}

}  // namespace
}  // namespace nimbrel
