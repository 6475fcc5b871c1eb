// The open-address report: two separately numbered lists with bare CR line breaks.
#include "core/address_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

const std::string kBrowsers = "Urls List (Internet Explorer):\r" + std::string(46, '-');
const std::string kFolders = "Urls List (Windows Explorer):\r" + std::string(46, '-');
const std::string kBetween = "\r \r\n \r\n";

std::string report(const std::vector<std::string>& addresses) {
    return buildAddressReport(CodePage::gb2312(), addresses);
}

TEST(AddressReportTest, NoWindowGivesBothHeadingsOnly) {
    EXPECT_EQ(report({}), kBrowsers + kBetween + kFolders);
}

TEST(AddressReportTest, ListsAreNumberedSeparatelyInCollectionOrder) {
    EXPECT_EQ(
        report({"http://a/", "file:///C:/", "http://b/", "http://c/"}),
        kBrowsers + "\r1: http://a/\r2: http://b/\r3: http://c/" + kBetween + kFolders + "\r1: file:///C:/");
}

TEST(AddressReportTest, FileMarkerCountsInAnyCaseAndPosition) {
    EXPECT_EQ(report({"FILE:///D:/x.html", "http://x/?u=File://y"}),
              kBrowsers + kBetween + kFolders + "\r1: FILE:///D:/x.html\r2: http://x/?u=File://y");
}

TEST(AddressReportTest, EmptyAddressAndNumbersPastNine) {
    EXPECT_EQ(report({""}), kBrowsers + "\r1: " + kBetween + kFolders);
    const std::string text = report(std::vector<std::string>(11, "h"));
    EXPECT_NE(text.find("\r9: h\r10: h\r11: h\r \r\n"), std::string::npos);
}

TEST(AddressReportTest, Gb2312AddressesAreKeptAndTheMarkerNeedsABoundary) {
    const std::string chinese = "http://x.cn/\xD6\xD0\xCE\xC4";
    const std::string tricky = "http://x.cn/\201FILE://";  // 'F' is a trail byte here
    EXPECT_EQ(report({chinese, tricky}),
              kBrowsers + "\r1: " + chinese + "\r2: " + tricky + kBetween + kFolders);
    EXPECT_TRUE(isFolderAddress(CodePage::singleByte(), tricky));
}

}  // namespace
}  // namespace nimbrel
