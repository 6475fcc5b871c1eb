#include "core/csv.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(CsvTest, FieldsAreQuotedOnlyWhenTheyMustBe) {
    const struct {
        std::string_view text, field;
    } cases[] = {
        {"http://a.test/x.js", "http://a.test/x.js"},
        {" padded ", " padded "},
        {"http://a.test/?a=1,2", "\"http://a.test/?a=1,2\""},
        {"say \"ad\"", "\"say \"\"ad\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\nonly", "\"lf\nonly\""},
    };
    for (const auto& c : cases) EXPECT_EQ(csvField(c.text), c.field) << testing::PrintToString(c.text);
}

TEST(CsvTest, ADocumentIsMarkedUtf8WithCrLfEndedRecords) {
    EXPECT_EQ(utf8CsvDocument({{"时间", "地址"}, {"02-03 09:05:07", "http://a.test/?x=1,2"}}),
              "\xEF\xBB\xBF时间,地址\r\n02-03 09:05:07,\"http://a.test/?x=1,2\"\r\n");
    EXPECT_EQ(utf8CsvDocument({}), "\xEF\xBB\xBF");
}

}  // namespace
}  // namespace nimbrel
