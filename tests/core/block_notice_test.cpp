#include "core/block_notice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

// Removals and timer ticks on one clock; what each shows (0: nothing).
struct Step {
    enum Kind { removal, tick } kind;
    std::uint64_t at;
    int shows;
};

TEST(NoticePacerTest, OneNoticePerGapAndTheHeldOnesCountedIntoTheNext) {
    using enum Step::Kind;
    const std::vector<Step> steps = {
        {removal, 1000, 1},   // the first shows at once
        {removal, 1500, 0},   // held
        {removal, 4000, 0},   // held too
        {tick, 10999, 0},     // the gap is not over
        {tick, 11000, 2},     // one notice for both
        {tick, 11001, 0},     // nothing held
        {removal, 20999, 0},  // within the gap after the counted notice
        {removal, 21000, 2},  // the gap is over: shows at once, with the held one
        {removal, 40000, 1},  // long after: alone
    };
    NoticePacer pacer;
    EXPECT_FALSE(pacer.due());
    for (const Step& step : steps) {
        SCOPED_TRACE(step.at);
        EXPECT_EQ(step.kind == removal ? pacer.removed(step.at) : pacer.release(step.at), step.shows);
    }
    pacer.removed(40001);
    EXPECT_EQ(pacer.due(), 50000u) << "held until the gap after the last notice ends";
    EXPECT_EQ(pacer.release(49999), 0);
    EXPECT_EQ(pacer.release(50000), 1);
    EXPECT_FALSE(pacer.due());
}

TEST(NoticeTextTest, HostAndReasonOnTheirLinesTheOthersCountedAndTheCountKeptWhenCut) {
    EXPECT_EQ(noticeText(L"http://user@Ads.Example.com:8080/x/y?z", L"广告路径表: /ads/", 1),
              L"Ads.Example.com\n广告路径表: /ads/");
    EXPECT_EQ(noticeText(L"http://ads.example/", L"黑名单第 2 行: ads", 4),
              L"ads.example\n黑名单第 2 行: ads\n另有 3 个网址也已阻止");
    EXPECT_EQ(noticeText(L"http://广告.example/", L"", 1), L"广告.example") << "a host in any script";
    EXPECT_EQ(noticeText(L"about:blank?ad1", L"广告字词表: AD1", 1), L"about:blank?ad1\n广告字词表: AD1")
        << "no host: the whole address";
    const std::wstring cut = noticeText(L"http://" + std::wstring(300, L'a') + L".test/", L"r", 12, 255);
    EXPECT_EQ(cut.size(), 255u);
    EXPECT_TRUE(cut.ends_with(L"…\n另有 11 个网址也已阻止"));
    EXPECT_TRUE(cut.starts_with(L"aaaa"));
}

TEST(PassOnceTest, OnlyThatAddressInThatWindowOnceWithinItsTime) {
    PassOnce<int> pass;
    pass.grant("http://ad.test/a", 1, 0);
    EXPECT_FALSE(pass.consume("http://ad.test/a", 2, 10)) << "another window";
    EXPECT_FALSE(pass.consume("http://ad.test/A", 1, 10)) << "another address";
    EXPECT_FALSE(pass.consume("http://ad.test/a?", 1, 10));
    EXPECT_TRUE(pass.consume("http://ad.test/a", 1, 29999));
    EXPECT_FALSE(pass.consume("http://ad.test/a", 1, 29999)) << "used up";

    pass.grant("http://ad.test/a", 1, 1000);
    pass.grant("http://ad.test/b", 1, 2000);
    pass.grant("http://ad.test/a", 3, 2000);
    EXPECT_EQ(pass.open(2000), 3u);
    EXPECT_FALSE(pass.consume("http://ad.test/a", 1, 31000)) << "expired after 30 s";
    EXPECT_EQ(pass.open(31000), 2u);
    pass.grant("http://ad.test/b", 1, 20000);  // asked again: the time starts anew
    EXPECT_TRUE(pass.consume("http://ad.test/b", 1, 49999));
    EXPECT_FALSE(pass.consume("http://ad.test/a", 3, 32000));
    EXPECT_EQ(pass.open(32000), 0u);
}

}  // namespace
}  // namespace nimbrel
