// The administrator's settings as the programs read them: the machine's value wins
// over the user's, and values outside the documented ones leave the user to decide.
#include "catalog/PolicySettings.h"

#include "catalog/PresetInForce.h"
#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kUnset = 0xFFFFFFFF;

struct PolicyCase {
    DWORD machine;
    DWORD user;
    bool presetsAllowed;
    AutostartPolicy autostart;
    KeepAppliedPolicy keepApplied;
};

TEST(PolicySettings, TheMachinesValueWinsOverTheUsers)
{
    const PolicyCase cases[] = {
        {kUnset, kUnset, true, AutostartPolicy::UserDecides, KeepAppliedPolicy::UserDecides},
        {kUnset, 0, false, AutostartPolicy::Never, KeepAppliedPolicy::Never},
        {kUnset, 1, true, AutostartPolicy::Always, KeepAppliedPolicy::Always},
        {1, 0, true, AutostartPolicy::Always, KeepAppliedPolicy::Always},
        {0, 1, false, AutostartPolicy::Never, KeepAppliedPolicy::Never},
        {7, kUnset, true, AutostartPolicy::UserDecides, KeepAppliedPolicy::UserDecides},
    };
    for (const PolicyCase& row : cases) {
        SCOPED_TRACE(testing::Message() << "machine " << row.machine << ", user " << row.user);
        const ScopedPolicy policy;
        for (const wchar_t* name : kPolicyValueNames) {
            if (row.machine != kUnset)
                ASSERT_TRUE(policy.SetDWord(HKEY_LOCAL_MACHINE, name, row.machine));
            if (row.user != kUnset)
                ASSERT_TRUE(policy.SetDWord(HKEY_CURRENT_USER, name, row.user));
        }
        EXPECT_EQ(UserPresetsAllowed(), row.presetsAllowed);
        EXPECT_EQ(ReadAutostartPolicy(), row.autostart);
        EXPECT_EQ(ReadKeepAppliedPolicy(), row.keepApplied);
    }
}

// The launcher keeps the preset in force applied as the policy forces it, else as the user
// chose; the user's stored choice is never overwritten and counts again without the policy.
TEST(PolicySettings, KeepAppliedPolicyOverridesTheUsersChoiceWithoutOverwritingIt)
{
    const RegistrySnapshot product(HKEY_CURRENT_USER, kProductKey);
    const struct {
        DWORD policy;
        bool user;
        bool kept;
    } cases[] = {{kUnset, false, false}, {kUnset, true, true}, {1, false, true}, {0, true, false}, {7, false, false}};
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::Message() << "policy " << row.policy << ", user " << row.user);
        const ScopedPolicy policy;
        SetKeepsPresetApplied(row.user);
        if (row.policy != kUnset) {
            ASSERT_TRUE(policy.SetDWord(HKEY_LOCAL_MACHINE, kKeepAppliedPolicy, row.policy));
        }
        EXPECT_EQ(KeepsPresetApplied(), row.kept);
        DWORD stored = 2;
        DWORD bytes = sizeof(stored);
        ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kProductKey, kKeepAppliedValue, RRF_RT_REG_DWORD, nullptr, &stored,
                               &bytes),
                  ERROR_SUCCESS);
        EXPECT_EQ(stored, row.user ? 1u : 0u) << "the user's choice was overwritten";
    }
}

} // namespace
