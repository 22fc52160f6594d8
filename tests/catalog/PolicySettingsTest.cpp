// The administrator's settings as the programs read them: the machine's value wins
// over the user's, and values outside the documented ones leave the user to decide.
#include "catalog/PolicySettings.h"

#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kUnset = 0xFFFFFFFF;

struct PolicyCase {
    DWORD machine;
    DWORD user;
    bool presetsAllowed;
    AutostartPolicy autostart;
};

TEST(PolicySettings, TheMachinesValueWinsOverTheUsers)
{
    const PolicyCase cases[] = {
        {kUnset, kUnset, true, AutostartPolicy::UserDecides},
        {kUnset, 0, false, AutostartPolicy::Never},
        {kUnset, 1, true, AutostartPolicy::Always},
        {1, 0, true, AutostartPolicy::Always},
        {0, 1, false, AutostartPolicy::Never},
        {7, kUnset, true, AutostartPolicy::UserDecides},
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
    }
}

} // namespace
