// The rules under HKEY_CURRENT_USER: what LoadRules accepts and passes over, what
// SaveRules writes and refuses. The product's Rules key is restored after each test.
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
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRulesKey); }

    // Writes the values as given, "" meaning "leave the value out".
    void StoreRaw(int k, const std::wstring& event, const std::wstring& preset, const std::wstring& hwId)
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kRulesKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, key.Put(), nullptr));
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

    RegistrySnapshot rules_{HKEY_CURRENT_USER, kRulesKey};
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
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kRulesKey, 0, KEY_READ, key.Put()));
    DWORD values = 0;
    RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(3u, values);
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
