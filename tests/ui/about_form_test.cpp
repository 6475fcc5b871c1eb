// Reading another product's registry value for the About window: read access only, so a
// missing key stays missing; a value of the wrong type is the program's usual error.
#include "ui/about_form.h"

#include "platform/error.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbrel::testing {
namespace {

constexpr const wchar_t* kKey = L"SOFTWARE\\NimbrelTest\\Internet Explorer";

bool keyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

class ReadOnlyValueTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\NimbrelTest"); }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\NimbrelTest"); }

    HKEY createKey() {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        return key;
    }
};

TEST_F(ReadOnlyValueTest, AMissingKeyReadsEmptyAndIsNotCreated) {
    EXPECT_EQ(readMachineStringReadOnly(kKey, L"Version"), L"");
    EXPECT_FALSE(keyExists(kKey));
    EXPECT_FALSE(keyExists(L"SOFTWARE\\NimbrelTest"));
}

TEST_F(ReadOnlyValueTest, ReadsAStringAndAMissingValueAsEmpty) {
    HKEY key = createKey();
    const std::wstring version = L"6.0.2800.1106";
    RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    EXPECT_EQ(readMachineStringReadOnly(kKey, L"Version"), version);
    EXPECT_EQ(readMachineStringReadOnly(kKey, L"Build"), L"");
}

TEST_F(ReadOnlyValueTest, AValueOfAnotherTypeIsAnError) {
    HKEY key = createKey();
    const DWORD number = 6;
    RegSetValueExW(key, L"Version", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    RegCloseKey(key);
    try {
        readMachineStringReadOnly(kKey, L"Version");
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.text(), L"Invalid data type for 'Version'");
    }
}

}  // namespace
}  // namespace nimbrel::testing
