// What a swap that failed part way leaves is put right: each failure of ReplaceFileW leaves
// the files in one of these states (the old file under its name or under the backup name,
// or gone), and afterwards the list's name holds the old bytes, else the new ones, whole.
#include "filter/list_file_fixture.h"
#include "platform/error.h"
#include "support/disk_filler.h"

#include <gtest/gtest.h>

namespace nimbrel::testing {
namespace {

struct FailedSwap {
    const char* failure;
    bool oldUnderItsName;
    bool oldUnderBackupName;
    std::string expected;
};

const FailedSwap kFailedSwaps[] = {
    {"ERROR_UNABLE_TO_REMOVE_REPLACED, or a refusal before anything moved", true, false, "old"},
    {"ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the old file under the backup name", false, true, "old"},
    {"ERROR_UNABLE_TO_MOVE_REPLACEMENT without a backup: the old file is gone", false, false, "new"},
};

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override { removeListFiles(); }
    void TearDown() override { removeListFiles(); }
};

TEST_F(SafeFileTest, EveryFailedSwapIsUndoneToOneWholeFile) {
    const std::wstring path = blackPath();
    const std::wstring temporary = folderOf(path) + kSavePrefix + L"0000" + kSaveNewExtension;
    const std::wstring backup = folderOf(path) + kSavePrefix + L"0000" + kSaveOldExtension;
    for (const FailedSwap& swap : kFailedSwaps) {
        SCOPED_TRACE(swap.failure);
        putFile(temporary, "new");
        if (swap.oldUnderItsName) putFile(path, "old");
        if (swap.oldUnderBackupName) putFile(backup, "old");
        EXPECT_TRUE(undoFailedReplace(path, temporary, backup));
        EXPECT_EQ(fileBytes(path), swap.expected);
        EXPECT_TRUE(saveLeftovers(folderOf(path)).empty()) << "nothing of the save is left over";
        removeFile(path);
    }
}

// Files that a save never cleaned up (a killed program), read-only even, stand in nobody's
// way, and a save leaves nothing of its own behind.
TEST_F(SafeFileTest, LeftoversOfEarlierSavesAreNeitherInTheWayNorAddedTo) {
    const std::wstring folder = folderOf(blackPath());
    const std::wstring leftovers[] = {folder + kSavePrefix + L"0000" + kSaveNewExtension,
                                      folder + kSavePrefix + L"0000" + kSaveOldExtension};
    for (const std::wstring& leftover : leftovers) {
        putFile(leftover, "left behind");
        ASSERT_TRUE(SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    writeFileBytes(blackPath(), "first");  // a new file
    writeFileBytes(blackPath(), "second"); // a swap, with a backup name
    EXPECT_EQ(fileBytes(blackPath()), "second");
    EXPECT_EQ(saveLeftovers(folder).size(), std::size(leftovers));
    for (const std::wstring& leftover : leftovers) EXPECT_EQ(fileBytes(leftover), "left behind");
}

// A folder that takes no new file, on a full disk (its sub-folder "locked", made so by
// scripts/test.sh with the immutable flag): the file is written in place, and it must
// grow before a byte of it is overwritten.
TEST_F(SafeFileTest, WritingInPlaceOnAFullDiskLeavesTheOldBytes) {
    const std::wstring root = test_support::full_disk_folder();
    if (root.empty()) GTEST_SKIP() << "scripts/test.sh mounts a small file system for this";
    const std::wstring path = root + L"\\locked\\black.lis";
    const std::string oldBytes = test_support::list_of_size(66000, 'o');
    const std::string newBytes = test_support::list_of_size(132000, 'n');
    putFile(path, oldBytes);
    ASSERT_EQ(fileBytes(path), oldBytes);
    {
        const test_support::DiskFiller filler(root, 16 * 1024);
        try {
            writeFileBytes(path, newBytes);
            ADD_FAILURE() << "a save that did not fit was reported as done";
        } catch (const Error& error) {
            EXPECT_EQ(error.text(), L"Cannot create file " + path);
        }
        const std::string after = fileBytes(path);
        EXPECT_TRUE(after == oldBytes) << after.size() << " bytes"
                                        << (after.starts_with(newBytes.substr(0, 64)) ? ", beginning with the new list" : "");
    }
    writeFileBytes(path, newBytes);  // with room again
    EXPECT_TRUE(fileBytes(path) == newBytes);
    putFile(path, "");
}

}  // namespace
}  // namespace nimbrel::testing
