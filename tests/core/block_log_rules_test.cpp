// Block log rows: the excluded placeholder picture, the time stamp and the shown address.
#include "core/block_log_rules.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(BlockLogRulesTest, PlaceholderPictureIsNeverLogged) {
    const CodePage gb = CodePage::gb2312();
    EXPECT_FALSE(isLoggable(gb, "http://x.com/adremoved.gif"));
    EXPECT_FALSE(isLoggable(gb, "http://AdRemoved.Gif.example.com/?x"));
    EXPECT_TRUE(isLoggable(gb, "http://x.com/ad-removed.gif"));
    EXPECT_TRUE(isLoggable(gb,
                           "http://x.cn/\201ADREMOVED.GIF"));  // 'A' is a trail byte here
    EXPECT_EQ(makeLogRow(gb, "http://x/ADREMOVED.GIF", {}, ":"), std::nullopt);
}

TEST(BlockLogRulesTest, TimeStampHasTwoDigitFieldsAndTheLocaleSeparator) {
    EXPECT_EQ(formatTimeStamp({.month = 2, .day = 3, .hour = 9, .minute = 5, .second = 7}, ":"),
              "02-03 09:05:07");
    EXPECT_EQ(formatTimeStamp({.month = 12, .day = 31, .hour = 23, .minute = 59, .second = 58}, ":"),
              "12-31 23:59:58");
    EXPECT_EQ(formatTimeStamp({.month = 1, .day = 1, .hour = 0, .minute = 0, .second = 3}, "."),
              "01-01 00.00.03");
}

TEST(BlockLogRulesTest, BlankAddressesShowAsPopupAdOthersExactlyAsPassed) {
    const LocalTime time{.month = 2, .day = 3, .hour = 9, .minute = 5, .second = 7};
    for (std::string_view blank :
         {std::string_view(""), std::string_view("   "), std::string_view("\t\r\n\0 ", 5)}) {
        EXPECT_EQ(makeLogRow(CodePage::gb2312(), blank, time, ":"), (LogRow{"02-03 09:05:07", "Popup ad"}));
    }
    EXPECT_EQ(shownAddress("  http://X.com/Ads/  "), "  http://X.com/Ads/  ");
    EXPECT_EQ(shownAddress("\xD6\xD0\xCE\xC4"), "\xD6\xD0\xCE\xC4");
}

}  // namespace
}  // namespace nimbrel
