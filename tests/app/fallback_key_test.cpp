// Turning the start with Windows off removes the Run value from both places that Windows
// starts from, even when one of them refuses: the other copy still goes, and the refusal
// is reported rather than left to go on starting the program.
#include "app/fallback_key.h"
#include "app/registry_fixture.h"
#include "platform/error.h"
#include "support/read_only_key.h"

#include <memory>

namespace nimbrel::testing {
namespace {

using FallbackKeyTest = RegistryTest;

bool inRunKey(HKEY root) {
    const RegKey run = openKeyForReading(root, kRunKey);
    return valueExists(run.get(), kAutorunValue);
}

TEST_F(FallbackKeyTest, RemoveTakesEveryCopyItMayAndReportsTheOneThatStays) {
    const struct {
        const char* name;
        bool userRefuses, machineRefuses;
    } cases[] = {
        {"both places writable", false, false},
        {"the user's key read-only", true, false},
        {"the machine's key read-only", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            const RegKey run = openKey(root, kRunKey);
            writeString(run.get(), kAutorunValue, L"\"C:\\\\nimbrel.exe\"");
        }
        std::unique_ptr<test_support::ReadOnlyKey> refusing;
        if (c.userRefuses || c.machineRefuses)
            refusing = std::make_unique<test_support::ReadOnlyKey>(c.userRefuses ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                                                                   kRunKey);
        ASSERT_TRUE(!refusing || refusing->enforced());
        FallbackKey key(kRunKey, kRunKey);
        try {
            key.remove(kAutorunValue);
            EXPECT_FALSE(refusing) << "a copy that stayed was not reported";
        } catch (const Error& error) {
            EXPECT_TRUE(refusing) << "nothing stayed";
            EXPECT_EQ(error.text(), L"Failed to set data for 'Nimbrel'");
        }
        EXPECT_EQ(inRunKey(HKEY_CURRENT_USER), c.userRefuses) << "the user's copy";
        EXPECT_EQ(inRunKey(HKEY_LOCAL_MACHINE), c.machineRefuses) << "the machine's copy";
        refusing.reset();
        deleteAutorunValue();
    }
}

}  // namespace
}  // namespace nimbrel::testing
