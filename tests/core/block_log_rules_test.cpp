// Block log rows: the excluded placeholder picture, the time stamp and the shown address.
#include "core/block_log_rules.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(BlockLogRulesTest, PlaceholderPictureIsNeverLogged) {
    const CodePage gb = CodePage::gb2312();
    EXPECT_FALSE(isLoggable(gb, "http://x.com/adremoved.gif"));
    EXPECT_FALSE(isLoggable(gb, "http://AdRemoved.Gif.example.com/"));
    EXPECT_FALSE(isLoggable(gb, "http://x.com/?img=ADREMOVED.GIF&x=1"));
    EXPECT_TRUE(isLoggable(gb, "http://x.com/adremoved.png"));
    EXPECT_TRUE(isLoggable(gb, "http://x.com/ad-removed.gif"));
    EXPECT_EQ(makeLogRow(gb, "http://x/adremoved.gif", {}, ":"), std::nullopt);
}

TEST(BlockLogRulesTest, TimeStampHasTwoDigitFieldsAndTheLocaleSeparator) {
    EXPECT_EQ(formatTimeStamp({.month = 2, .day = 3, .hour = 9, .minute = 5, .second = 7}, ":"),
              "02-03 09:05:07");
    EXPECT_EQ(formatTimeStamp({.month = 12, .day = 31, .hour = 23, .minute = 59, .second = 58}, ":"),
              "12-31 23:59:58");
    EXPECT_EQ(formatTimeStamp({.month = 1, .day = 1, .hour = 0, .minute = 0, .second = 3}, ":"),
              "01-01 00:00:03");
    EXPECT_EQ(formatTimeStamp({.month = 10, .day = 9, .hour = 14, .minute = 30, .second = 0}, "."),
              "10-09 14.30.00");
    EXPECT_EQ(formatTimeStamp({.month = 7, .day = 4, .hour = 8, .minute = 1, .second = 2}, "h"),
              "07-04 08h01h02");
}

TEST(BlockLogRulesTest, BlankAddressesShowAsPopupAd) {
    EXPECT_EQ(shownAddress(""), "Popup ad");
    EXPECT_EQ(shownAddress("   "), "Popup ad");
    EXPECT_EQ(shownAddress(std::string("\t\r\n\0 ", 5)), "Popup ad");
}

TEST(BlockLogRulesTest, OtherAddressesShowExactlyAsPassed) {
    EXPECT_EQ(shownAddress("  http://X.com/Ads/  "), "  http://X.com/Ads/  ");
    EXPECT_EQ(shownAddress("\xD6\xD0\xCE\xC4"), "\xD6\xD0\xCE\xC4");
}

TEST(BlockLogRulesTest, RowCarriesStampAndShownAddress) {
    const LocalTime time{.month = 2, .day = 3, .hour = 9, .minute = 5, .second = 7};
    EXPECT_EQ(makeLogRow(CodePage::gb2312(), " ", time, ":"), (LogRow{"02-03 09:05:07", "Popup ad"}));
    EXPECT_EQ(makeLogRow(CodePage::gb2312(), "http://A/b", time, ":"),
              (LogRow{"02-03 09:05:07", "http://A/b"}));
}

TEST(BlockLogRulesTest, TrailByteDoesNotStartThePlaceholderName) {
    // 0x81 0x41 is one character whose trail byte reads as 'A'.
    EXPECT_TRUE(isLoggable(CodePage::gb2312(),
                           "http://x.cn/\x81"
                           "ADREMOVED.GIF"));
    EXPECT_FALSE(isLoggable(CodePage::singleByte(),
                            "http://x.cn/\x81"
                            "ADREMOVED.GIF"));
}

}  // namespace
}  // namespace nimbrel
