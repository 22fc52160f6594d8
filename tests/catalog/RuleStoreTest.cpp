// The rules under HKEY_CURRENT_USER and of policy: what LoadRules accepts and passes
// over, what SaveRules writes and refuses. The Rules keys are restored after each test.
#include "catalog/RuleStore.h"

#include "automation/RegistrySnapshot.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RuleStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kRulesKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kPolicyRulesKey);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicyRulesKey);
    }

    // Writes the values as given, "" meaning "leave the value out".
    void StoreRaw(int k, const std::wstring& event, const std::wstring& preset, const std::wstring& hwId,
                  HKEY root = HKEY_CURRENT_USER, const wchar_t* path = kRulesKey)
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr));
        const auto set = [&](const wchar_t* format, const std::wstring& text) {
            if (text.empty())
                return;
            const std::wstring name = std::to_wstring(k) + (wcschr(format, L'_'));
            RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        };
        set(kRuleEventValueFormat, event);
        set(kRulePresetValueFormat, preset);
        set(kRuleHwIdValueFormat, hwId);
    }

    // How many values the user's rules key holds; none when it cannot be opened.
    static DWORD StoredValueCount()
    {
        RegKey key;
        DWORD values = 0;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRulesKey, 0, KEY_READ, key.Put()) == ERROR_SUCCESS)
            RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr);
        return values;
    }

    RegistrySnapshot rules_{HKEY_CURRENT_USER, kRulesKey};
    RegistrySnapshot userPolicy_{HKEY_CURRENT_USER, kPolicyRulesKey};
    RegistrySnapshot machinePolicy_{HKEY_LOCAL_MACHINE, kPolicyRulesKey};
};

TEST(RuleEventTest, WordsRoundTripInAnyCaseAndUnknownWordsAreRefused)
{
    for (int i = 0; i < kRuleEventCount; ++i) {
        const RuleEvent event = static_cast<RuleEvent>(i);
        std::wstring upper = RuleEventName(event);
        CharUpperW(&upper[0]);
        RuleEvent parsed = RuleEvent::Undocked;
        EXPECT_TRUE(ParseRuleEvent(upper.c_str(), &parsed)) << upper;
        EXPECT_EQ(event, parsed);
    }
    RuleEvent parsed = RuleEvent::CableIn;
    for (const wchar_t* word : {L"", L"Cable", L"CableIn ", L"Docking"})
        EXPECT_FALSE(ParseRuleEvent(word, &parsed)) << word;
}

TEST(RuleValidityTest, PresetNameAndDeviceMustFitTheEvent)
{
    const std::wstring longHwId(kMaxRuleHwIdChars + 1, L'A');
    const struct {
        RuleEvent event;
        const wchar_t* preset;
        std::wstring hwId;
        bool valid;
    } cases[] = {
        {RuleEvent::CableIn, L"Office", L"", true},
        {RuleEvent::Battery, L"", L"", false},
        {RuleEvent::AC, L"A name of exactly thirty-two ch.", L"", true},
        {RuleEvent::AC, L"A name of thirty-three characters", L"", false},
        {RuleEvent::CableOut, L"Travel", L"USB\\VID_17EF", false}, // a device only for the dock
        {RuleEvent::Docked, L"Office", L"", false},
        {RuleEvent::Undocked, L"Travel", L"USB\\VID_17EF&PID_30A9", true},
        {RuleEvent::Docked, L"Office", longHwId, false},
    };
    for (const auto& c : cases) {
        Rule rule;
        rule.event = c.event;
        rule.preset = c.preset;
        rule.hwId = c.hwId.c_str();
        EXPECT_EQ(c.valid, IsValidRule(rule)) << c.preset << L" / " << c.hwId;
    }
}

TEST_F(RuleStoreTest, LoadPassesOverBadRulesAndStopsAtTheFirstMissingEvent)
{
    StoreRaw(0, L"CableIn", L"Office", L"");
    StoreRaw(1, L"Sunrise", L"Office", L"");         // unknown event
    StoreRaw(2, L"Docked", L"Office", L"");          // a dock without its device
    StoreRaw(3, L"docked", L"Desk", L"USB\\VID_17EF");
    StoreRaw(4, L"Battery", L"", L"");               // no preset
    StoreRaw(5, L"AC", L"Office", L"");
    StoreRaw(7, L"CableOut", L"Travel", L"");        // after the gap at 6
    const std::vector<Rule> rules = LoadRules();
    ASSERT_EQ(3u, rules.size());
    EXPECT_EQ(RuleEvent::CableIn, rules[0].event);
    EXPECT_EQ(RuleEvent::Docked, rules[1].event);
    EXPECT_STREQ(L"Desk", rules[1].preset);
    EXPECT_STREQ(L"USB\\VID_17EF", rules[1].hwId);
    EXPECT_EQ(RuleEvent::AC, rules[2].event);
}

TEST_F(RuleStoreTest, SaveRewritesTheListAndLeavesNoValuesOfRemovedRules)
{
    Rule cable;
    cable.preset = L"Office";
    Rule dock;
    dock.event = RuleEvent::Undocked;
    dock.preset = L"Travel";
    dock.hwId = L"USB\\VID_17EF&PID_30A9";
    ASSERT_TRUE(SaveRules({cable, dock, cable}));
    ASSERT_TRUE(SaveRules({dock}));

    const std::vector<Rule> rules = LoadRules();
    ASSERT_EQ(1u, rules.size());
    EXPECT_EQ(RuleEvent::Undocked, rules[0].event);
    EXPECT_STREQ(L"USB\\VID_17EF&PID_30A9", rules[0].hwId);
    EXPECT_EQ(3u, StoredValueCount());
}

TEST_F(RuleStoreTest, SaveRefusesAnInvalidRuleAndKeepsTheStoredOnes)
{
    Rule cable;
    cable.preset = L"Office";
    ASSERT_TRUE(SaveRules({cable}));
    Rule dock;
    dock.event = RuleEvent::Docked;
    dock.preset = L"Desk";
    EXPECT_FALSE(SaveRules({cable, dock}));
    EXPECT_EQ(1u, LoadRules().size());
}

TEST_F(RuleStoreTest, PolicyRulesLeadManagedAndSaveNeitherWritesNorDropsThem)
{
    const struct {
        HKEY root;
        const wchar_t* path;
        const wchar_t* event;
        const wchar_t* preset;
        bool managed;
    } rows[] = {
        // Stored in another order than they are read: the machine's, the user policy's, the user's.
        {HKEY_CURRENT_USER, kRulesKey, L"CableIn", L"Own", false},
        {HKEY_CURRENT_USER, kPolicyRulesKey, L"Battery", L"User policy", true},
        {HKEY_LOCAL_MACHINE, kPolicyRulesKey, L"AC", L"Machine policy", true},
    };
    for (const auto& row : rows)
        StoreRaw(0, row.event, row.preset, L"", row.root, row.path);
    std::vector<Rule> rules = LoadRules();
    ASSERT_EQ(3u, rules.size());
    for (size_t i = 0; i < rules.size(); ++i) {
        const auto& row = rows[rules.size() - 1 - i];
        EXPECT_STREQ(row.preset, rules[i].preset);
        EXPECT_EQ(row.managed, rules[i].managed) << row.preset;
    }
    EXPECT_EQ(1, UserRuleCount(rules));

    // Saving the list with a rule added keeps the policy rules as they stand and
    // gives the user's own their numbers from 0.
    Rule added;
    added.event = RuleEvent::CableOut;
    added.preset = L"Added";
    rules.push_back(added);
    ASSERT_TRUE(SaveRules(rules));
    rules = LoadRules();
    ASSERT_EQ(4u, rules.size());
    EXPECT_STREQ(L"Machine policy", rules[0].preset);
    EXPECT_STREQ(L"Own", rules[2].preset);
    EXPECT_STREQ(L"Added", rules[3].preset);
    EXPECT_EQ(4u, StoredValueCount()) << "two rules of the user's own, two values each";
}

TEST(RulePresetTest, TheFirstPresetOfTheNameInAnyCaseIsFound)
{
    TaloPresetList presets;
    int n = 0;
    for (const wchar_t* name : {L"Travel", L"Office", L"office"}) {
        TALO_PRESET preset = PresetOf(name, {});
        presets.SetAtGrow(n++, preset);
    }
    EXPECT_EQ(1, FindRulePreset(presets, L"OFFICE"));
    EXPECT_EQ(0, FindRulePreset(presets, L"travel"));
    EXPECT_EQ(-1, FindRulePreset(presets, L"Home"));
}

} // namespace
