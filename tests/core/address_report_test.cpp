// The open-address report: two separately numbered lists with bare CR line breaks.
#include "core/address_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

const std::string kRule(46, '-');
const std::string kBrowserHeading = "Urls List (Internet Explorer):\r" + kRule;
const std::string kFolderHeading = "Urls List (Windows Explorer):\r" + kRule;
const std::string kSeparator = "\r \r\n \r\n";

std::string report(const std::vector<std::string>& addresses) {
    return buildAddressReport(CodePage::gb2312(), addresses);
}

TEST(AddressReportTest, NoWindowGivesBothHeadingsOnly) {
    const std::string text = report({});
    EXPECT_EQ(text, kBrowserHeading + kSeparator + kFolderHeading);
    EXPECT_EQ(std::count(text.begin(), text.end(), '-'), 92);
}

TEST(AddressReportTest, ListsAreNumberedSeparatelyInCollectionOrder) {
    const std::string expected = kBrowserHeading + "\r1: http://a/\r2: http://b/\r3: http://c/" + kSeparator +
                                 kFolderHeading + "\r1: file:///C:/";
    EXPECT_EQ(report({"http://a/", "file:///C:/", "http://b/", "http://c/"}), expected);
}

TEST(AddressReportTest, FileMarkerCountsInAnyCaseAndPosition) {
    const std::string expected = kBrowserHeading + kSeparator + kFolderHeading +
                                 "\r1: FILE:///D:/x.html\r2: http://x/?u=File://y\r3: file://server/share";
    EXPECT_EQ(report({"FILE:///D:/x.html", "http://x/?u=File://y", "file://server/share"}), expected);
}

TEST(AddressReportTest, EmptyAddressEndsWithColonBlank) {
    EXPECT_EQ(report({""}), kBrowserHeading + "\r1: " + kSeparator + kFolderHeading);
}

TEST(AddressReportTest, NumbersHaveNoLeadingZerosPastNine) {
    const std::vector<std::string> many(11, "http://x/");
    const std::string text = report(many);
    EXPECT_NE(text.find("\r9: http://x/\r10: http://x/\r11: http://x/\r \r\n"), std::string::npos);
}

TEST(AddressReportTest, Gb2312AddressesAreKeptAndFileMarkerNeedsABoundary) {
    const std::string chinese = "http://x.cn/\xD6\xD0\xCE\xC4";
    // 0x81 0x46 is one character whose trail byte reads as 'F': no "FILE://" starts there.
    const std::string tricky =
        "http://x.cn/\x81"
        "FILE://";
    EXPECT_EQ(report({chinese, tricky}),
              kBrowserHeading + "\r1: " + chinese + "\r2: " + tricky + kSeparator + kFolderHeading);
    EXPECT_TRUE(isFolderAddress(CodePage::singleByte(), tricky));
}

TEST(AddressReportTest, TextNeverEndsInALineBreak) {
    for (const auto& addresses : {std::vector<std::string>{}, std::vector<std::string>{"file:///c:/"}}) {
        const std::string text = report(addresses);
        EXPECT_NE(text.back(), '\r');
        EXPECT_NE(text.back(), '\n');
    }
}

}  // namespace
}  // namespace nimbrel
