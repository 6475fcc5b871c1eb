#include "core/csv.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(CsvTest, FieldsAreQuotedOnlyWhenTheyMustBeAndNeverRunAsFormulas) {
    const struct {
        std::string_view text, field;
    } cases[] = {
        {"http://a.test/x.js", "http://a.test/x.js"},
        {" padded ", " padded "},
        {"http://a.test/?a=1,2", "\"http://a.test/?a=1,2\""},
        {"say \"ad\"", "\"say \"\"ad\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\nonly", "\"lf\nonly\""},
        {std::string_view("nul\0inside", 10), std::string_view("\"nul\0inside\"", 12)},
        // What a spreadsheet would run as a formula is kept as text.
        {"=HYPERLINK(\"http://x.test\")", "\"'=HYPERLINK(\"\"http://x.test\"\")\""},
        {"+1", "\"'+1\""},
        {"-2+3", "\"'-2+3\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"\t=1", "\"'\t=1\""},
        {"\r=1", "\"'\r=1\""},
        {"a=1", "a=1"},
        {"http://a.test/?q=-1+@x", "http://a.test/?q=-1+@x"},
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
