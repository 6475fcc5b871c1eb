#include "filter/list_file_fixture.h"
#include "platform/error.h"

#include <gtest/gtest.h>

namespace nimbrel::testing {
namespace {

class ListFilesTest : public ::testing::Test {
protected:
    void SetUp() override { removeListFiles(); }
    void TearDown() override { removeListFiles(); }
};

TEST_F(ListFilesTest, ListsLiveBesideTheProgram) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring directory(exe);
    directory.erase(directory.find_last_of(L'\\') + 1);
    EXPECT_EQ(whitePath(), directory + L"white.lis");
    EXPECT_EQ(blackPath(), directory + L"black.lis");
}

TEST_F(ListFilesTest, AMissingFileIsNoListAndNoError) { EXPECT_FALSE(readListFile(whitePath()).has_value()); }

TEST_F(ListFilesTest, ReadingNormalisesLineEndsAndKeepsGb2312Bytes) {
    putFile(whitePath(), "cr\rlf\ncrlf\r\n\xB9\xE3\xB8\xE6*ad");
    const auto file = readListFile(whitePath());
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->text, L"cr\r\nlf\r\ncrlf\r\n\x5E7F\x544A*ad");  // 广告
    EXPECT_EQ(file->encoding, ListEncoding::ansi);
    EXPECT_TRUE(file->faithful);
}

TEST_F(ListFilesTest, WritingReplacesTheWholeFile) {
    putFile(blackPath(), "an old and much longer list\r\nwith two lines\r\n");
    writeListFile(blackPath(), L"new", ListEncoding::ansi);
    EXPECT_EQ(fileBytes(blackPath()), "new");
    writeListFile(whitePath(), L"", ListEncoding::ansi);  // an empty box gives an empty file
    EXPECT_TRUE(fileExists(whitePath()));
    EXPECT_EQ(fileBytes(whitePath()), "");
}

TEST_F(ListFilesTest, AReadOnlyOrLockedFileIsNotReplacedAndSaysSo) {
    putFile(whitePath(), "keep me\r\n");
    SetFileAttributesW(whitePath().c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        writeListFile(whitePath(), L"lost", ListEncoding::ansi);
        FAIL() << "a read-only list must not be written";
    } catch (const Error& error) {
        EXPECT_EQ(error.text(), L"Cannot create file " + whitePath());
    }
    SetFileAttributesW(whitePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(fileBytes(whitePath()), "keep me\r\n");

    HANDLE lock = CreateFileW(whitePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_THROW(writeListFile(whitePath(), L"lost", ListEncoding::ansi), Error);
    CloseHandle(lock);
    EXPECT_EQ(fileBytes(whitePath()), "keep me\r\n");
}

}  // namespace
}  // namespace nimbrel::testing
