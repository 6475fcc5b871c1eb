// The filter-list manager against a loopback server and the real registry and folders of
// the test prefix: what an update brings or refuses, and what stays in force.
#include "core/host_set.h"
#include "filter/filter_list_store.h"
#include "filter/filter_lists.h"
#include "filter/list_files.h"
#include "platform/error.h"
#include "support/loopback_http.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace nimbrel::testing {
namespace {

using e2e::LoopbackHttp;

const std::string kFirstList = "[Adblock Plus 2.0]\n! Expires: 2 days\n||ads.example.com^\n||tracker.test^\n||other.test^$third-party\n";
const std::string kSecondList = "||ads.example.com^\n||newads.example.org^\n";

std::string bytesOf(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void forgetFilterLists() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kFilterListsKey);
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(filterCopiesFolder()), ignored);
}

class FilterListManagerTest : public ::testing::Test {
protected:
    void SetUp() override { forgetFilterLists(); }
    void TearDown() override {
        manager.reset();
        forgetFilterLists();
    }

    void start() { manager = std::make_unique<FilterListManager>(nullptr, 0); }
    FilterListRow row(std::size_t index = 0) const { return manager->rows().at(index); }
    // Waits for the list's update to end and returns its row.
    FilterListRow updated(std::size_t index = 0) const {
        EXPECT_TRUE(e2e::wait_until([&] { return !row(index).updating; }, std::chrono::seconds(60)));
        return row(index);
    }
    bool blocks(const char* address) const { return manager->hosts()->blocks(address); }
    bool eventuallyBlocks(const char* address) const {
        return e2e::wait_until([&] { return blocks(address); }, std::chrono::seconds(20));
    }
    static std::int64_t hoursUntilNextCheck() {
        return (loadFilterLists().at(0).nextCheck - static_cast<std::int64_t>(std::time(nullptr)) + 1800) / 3600;
    }
    std::wstring copy(std::size_t index = 0) const {
        return filterCopiesFolder() + loadFilterLists().at(index).key + L".txt";
    }

    std::unique_ptr<FilterListManager> manager;
};

TEST_F(FilterListManagerTest, AFailedOrRefusedUpdateLeavesTheListInForceAsItWasAndSaysWhy) {
    LoopbackHttp server;
    server.serve("/list.txt", {.body = kFirstList, .etag = "\"v1\"", .lastModified = "Tue, 01 Dec 2026 10:00:00 GMT"});
    start();
    manager->add(L"Test list", server.url("/list.txt"));
    const FilterListRow first = updated();
    EXPECT_EQ(first.status, L"已更新");
    EXPECT_EQ(first.rules, 2u);
    EXPECT_EQ(first.unused, 1u) << "a rule with options is not used";
    EXPECT_TRUE(first.lastUpdate.has_value());
    ASSERT_TRUE(eventuallyBlocks("http://sub.ads.example.com:8080/banner.gif"));
    EXPECT_TRUE(blocks("HTTP://TRACKER.TEST/"));
    EXPECT_FALSE(blocks("http://notads.example.com/"));
    const std::string inForce = bytesOf(copy());
    ASSERT_EQ(inForce, kFirstList);

    const std::string html = "<!DOCTYPE html>\n<html><body>||ads.example.com^</body></html>\n";
    const struct {
        const char* what;
        LoopbackHttp::Answer answer;
        const wchar_t* status;
    } cases[] = {
        {"the same ETag", {.body = kSecondList, .etag = "\"v1\""}, L"未改变"},
        {"a server error", {.status = 500, .body = kSecondList}, L"服务器返回 500"},
        {"not found", {.status = 404, .body = "gone"}, L"服务器返回 404"},
        {"an HTML page", {.body = html}, L"不是过滤列表"},
        {"text that names no host", {.body = "hello\nworld\n"}, L"不是过滤列表"},
        {"a transfer cut off halfway", {.body = kSecondList, .cutAfter = kSecondList.size() / 2}, L"下载中断"},
        {"more than 50 MB announced", {.body = kSecondList, .cutAfter = 0, .claimedLength = 60u << 20}, L"文件过大"},
    };
    for (const auto& [what, answer, status] : cases) {
        SCOPED_TRACE(what);
        server.serve("/list.txt", answer);
        manager->updateNow({});
        EXPECT_EQ(row().status, L"正在更新...");
        const FilterListRow after = updated();
        EXPECT_EQ(after.status, status);
        EXPECT_EQ(after.rules, 2u);
        EXPECT_EQ(bytesOf(copy()), inForce);
        EXPECT_TRUE(blocks("http://sub.ads.example.com/"));
        EXPECT_FALSE(blocks("http://newads.example.org/"));
    }
    const auto requests = server.requests();
    EXPECT_EQ(requests.at(1).ifNoneMatch, "\"v1\"");
    EXPECT_EQ(requests.at(1).ifModifiedSince, "Tue, 01 Dec 2026 10:00:00 GMT");

    server.serve("/list.txt", {.body = kSecondList, .etag = "\"v2\""});
    manager->updateNow({0});
    EXPECT_EQ(updated().status, L"已更新");
    EXPECT_TRUE(eventuallyBlocks("http://newads.example.org/"));
    EXPECT_FALSE(blocks("http://tracker.test/"));
    EXPECT_EQ(bytesOf(copy()), kSecondList);
    EXPECT_EQ(loadFilterLists().at(0).etag, L"\"v2\"");
    const std::int64_t hours = hoursUntilNextCheck();
    EXPECT_TRUE(hours >= 86 && hours <= 106) << hours << " h: four days, give or take 10 %, after the failures";
}

TEST_F(FilterListManagerTest, AStartWithTheServerGoneBlocksFromTheStoredCopy) {
    std::wstring address;
    {
        LoopbackHttp server;
        server.serve("/hosts", {.body = "0.0.0.0 ads.example.com\n127.0.0.1 localhost\n"});
        address = server.url("/hosts");
        start();
        manager->add(L"", address);
        EXPECT_EQ(updated().status, L"已更新");
        EXPECT_EQ(row().name, L"hosts");
        manager.reset();
    }
    start();
    EXPECT_EQ(row().status, L"已更新");
    EXPECT_EQ(row().rules, 1u);
    EXPECT_TRUE(eventuallyBlocks("http://www.ads.example.com/"));
    manager->updateNow({});
    EXPECT_EQ(updated().status, L"无法连接");
    EXPECT_EQ(hoursUntilNextCheck(), 1) << "tried again in an hour";
    EXPECT_TRUE(blocks("http://www.ads.example.com/"));
    EXPECT_EQ(bytesOf(copy()), "0.0.0.0 ads.example.com\n127.0.0.1 localhost\n");
}

TEST_F(FilterListManagerTest, AListFromAFileIsReadAgainWhenAskedAndKeptWhenTheFileGoes) {
    const std::wstring file = filterCopiesFolder() + L"..\\my hosts.txt";
    std::ofstream(std::filesystem::path(file), std::ios::binary) << "ads.example.com\n";
    start();
    manager->add(L"Mine", file);
    EXPECT_EQ(updated().status, L"已更新");
    EXPECT_TRUE(eventuallyBlocks("http://ads.example.com/"));
    std::ofstream(std::filesystem::path(file), std::ios::binary) << "ads.example.com\nother.example.net\n";
    manager->updateNow({});
    EXPECT_EQ(updated().rules, 2u);
    EXPECT_TRUE(eventuallyBlocks("http://other.example.net/"));
    DeleteFileW(file.c_str());
    manager->updateNow({});
    EXPECT_EQ(updated().status, L"找不到文件");
    EXPECT_TRUE(blocks("http://other.example.net/"));

    manager->setEnabled(0, false);
    EXPECT_TRUE(e2e::wait_until([&] { return !blocks("http://other.example.net/"); }));
    const std::wstring stored = copy();
    manager->remove(0);
    EXPECT_TRUE(manager->rows().empty());
    EXPECT_TRUE(loadFilterLists().empty());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(stored)));
}

TEST_F(FilterListManagerTest, AMalformedAddressAMissingFileOrATwiceAddedListIsRefusedInWords) {
    LoopbackHttp server;
    start();
    manager->add(L"One", server.url("/one.txt"));
    const auto refusal = [&](const std::wstring& source) {
        try {
            manager->add(L"x", source);
        } catch (const Error& error) {
            return error.text();
        }
        return std::wstring(L"(accepted)");
    };
    EXPECT_EQ(refusal(L"ftp://example.com/list.txt").rfind(L"地址无效", 0), 0u);
    EXPECT_EQ(refusal(L"http://").rfind(L"地址无效", 0), 0u);
    EXPECT_EQ(refusal(L"   ").rfind(L"地址无效", 0), 0u);
    EXPECT_EQ(refusal(L"C:\\no such folder\\list.txt"), L"找不到文件 C:\\no such folder\\list.txt");
    EXPECT_EQ(refusal(L" " + server.url("/ONE.txt") + L" "), L"已有这个过滤列表: One");
    EXPECT_EQ(manager->rows().size(), 1u);
    EXPECT_EQ(updated().status, L"服务器返回 404");
}

// The https server and its test CA, trusted for the run, come from scripts/test.sh.
TEST_F(FilterListManagerTest, AnHttpsListPassesTheSystemsCertificateChecksAndAWrongNameFailsThem) {
    const char* address = std::getenv("NIMBREL_HTTPS_LIST");
    if (!address) GTEST_SKIP() << "scripts/test.sh sets NIMBREL_HTTPS_LIST";
    const std::wstring https(address, address + std::strlen(address));
    start();
    manager->add(L"Secure", https);
    EXPECT_EQ(updated().status, L"已更新");
    EXPECT_TRUE(eventuallyBlocks("https://x.secure-ads.example.com/"));
    std::wstring byAddress = https;
    byAddress.replace(byAddress.find(L"localhost"), 9, L"127.0.0.1");
    manager->add(L"Wrong name", byAddress);
    EXPECT_EQ(updated(1).status, L"安全连接失败") << "the certificate names localhost only";
}

TEST_F(FilterListManagerTest, TheInstallersMarkSubscribesTheRecommendedListsOnceForEachUser) {
    HKEY machine = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Nimbrel", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &machine, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(machine, kRecommendedListsMark, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 4);
    start();
    const auto rows = manager->rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].source, L"https://easylist-downloads.adblockplus.org/easylistchina.txt");
    EXPECT_EQ(rows[1].source, L"https://easylist.to/easylist/easylist.txt");
    EXPECT_FALSE(rows[0].updating);  // fetched by the first scheduled check, not during the start
    manager->remove(1);
    manager.reset();
    start();
    EXPECT_EQ(manager->rows().size(), 1u);
    RegDeleteValueW(machine, kRecommendedListsMark);
    RegCloseKey(machine);
}

}  // namespace
}  // namespace nimbrel::testing
