#include "filter/list_file_fixture.h"
#include "platform/error.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <cstdlib>
#include <cstring>

namespace nimbrel::testing {
namespace {

// A file's discretionary access list in SDDL, empty when it cannot be read.
std::wstring accessOf(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return {};
    LPWSTR text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                         &text, nullptr);
    std::wstring access = text ? text : L"";
    LocalFree(text);
    LocalFree(descriptor);
    return access;
}

bool setAccess(const std::wstring& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) return false;
    const bool set = SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor) != 0;
    LocalFree(descriptor);
    return set;
}

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

// Each list is kept where its own file can be written, and read from there. A list beside
// the program that the user may not change is read until the user's own copy exists, which
// then takes the saves; the other list stays where it is. Once the file beside the program
// can be written again (an administrator shared it), it is the one used again.
TEST_F(ListFilesTest, EachListIsKeptWhereItsOwnFileCanBeWritten) {
    putFile(blackPath(), "shared\r\n");
    ASSERT_TRUE(SetFileAttributesW(blackPath().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(listReadPath(kBlackListFile), blackPath()) << "no copy of the user's own yet";
    EXPECT_EQ(listWritePath(kBlackListFile), userListPath(kBlackListFile)) << "a file the user may not change";
    EXPECT_EQ(listWritePath(kWhiteListFile), whitePath()) << "the other list, in a folder that may be written";
    writeListFile(listWritePath(kBlackListFile), L"mine", ListEncoding::ansi);
    EXPECT_EQ(listReadPath(kBlackListFile), userListPath(kBlackListFile));
    EXPECT_EQ(fileBytes(blackPath()), "shared\r\n");

    ASSERT_TRUE(SetFileAttributesW(blackPath().c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(listReadPath(kBlackListFile), blackPath()) << "a shared list that may be written is used";
    EXPECT_EQ(listWritePath(kBlackListFile), blackPath());
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

TEST_F(ListFilesTest, ANewVersionKeepsTheAttributesAndAccessOfTheOld) {
    putFile(blackPath(), "old\r\n");
    const DWORD attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(SetFileAttributesW(blackPath().c_str(), attributes));
    // Nobody else may read it (Wine keeps that much of a file's access list, as its mode).
    ASSERT_TRUE(setAccess(blackPath(), L"D:P(A;;FA;;;SY)(A;;FA;;;BA)"));
    const std::wstring access = accessOf(blackPath());
    ASSERT_EQ(access.find(L";;;WD)"), std::wstring::npos) << access;

    writeListFile(blackPath(), L"new", ListEncoding::ansi);
    EXPECT_EQ(fileBytes(blackPath()), "new");
    EXPECT_EQ(GetFileAttributesW(blackPath().c_str()), attributes);
    EXPECT_EQ(accessOf(blackPath()), access);
}

// A file in a folder that takes no new file (scripts/test.sh makes one with the immutable
// flag, which stops even root) is written in place.
TEST_F(ListFilesTest, AFolderThatTakesNoNewFileGetsTheFileWrittenInPlace) {
    const char* locked = std::getenv("NIMBREL_LOCKED_FOLDER");
    if (!locked) GTEST_SKIP() << "scripts/test.sh provides a folder nobody may add to";
    const std::wstring path = std::wstring(locked, locked + std::strlen(locked)) + L"\\existing.lis";
    ASSERT_EQ(fileBytes(path), "an old and much longer list\r\n");
    writeListFile(path, L"new", ListEncoding::ansi);
    EXPECT_EQ(fileBytes(path), "new");
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
