#include "catalog/RuleStore.h"

#include "catalog/IndexedName.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

#include <windows.h>

namespace {

constexpr const wchar_t* kEventNames[kRuleEventCount] = {L"CableIn", L"CableOut", L"Battery",
                                                         L"AC",      L"Docked",   L"Undocked"};
constexpr int kMaxPresetNameChars = 32;

bool WriteString(CcRegistry& key, const CcString& name, const wchar_t* text)
{
    return key.SetValue(name, text, REG_SZ, 0) != 0;
}

// Appends the valid rules of one key, in their order.
void LoadRuleKey(std::vector<Rule>& rules, HKEY root, const wchar_t* path, bool managed)
{
    CcRegistry key;
    if (!key.OpenKey(path, root, KEY_READ))
        return;
    for (int k = 0; k < kMaxRules; ++k) {
        const CcString word = key.GetString(IndexedName(kRuleEventValueFormat, k), L"", 0);
        if (word.IsEmpty())
            break;
        Rule rule;
        rule.managed = managed;
        if (!ParseRuleEvent(word, &rule.event))
            continue;
        rule.preset = key.GetString(IndexedName(kRulePresetValueFormat, k), L"", 0);
        if (IsDockEvent(rule.event))
            rule.hwId = key.GetString(IndexedName(kRuleHwIdValueFormat, k), L"", 0);
        if (IsValidRule(rule))
            rules.push_back(rule);
    }
}

} // namespace

const wchar_t* RuleEventName(RuleEvent event)
{
    return kEventNames[static_cast<int>(event)];
}

bool ParseRuleEvent(const wchar_t* word, RuleEvent* event)
{
    for (int i = 0; i < kRuleEventCount; ++i) {
        if (lstrcmpiW(word, kEventNames[i]) == 0) {
            *event = static_cast<RuleEvent>(i);
            return true;
        }
    }
    return false;
}

bool IsValidRule(const Rule& rule)
{
    const int presetChars = rule.preset.GetLength();
    if (presetChars < 1 || presetChars > kMaxPresetNameChars)
        return false;
    const int hwIdChars = rule.hwId.GetLength();
    return IsDockEvent(rule.event) ? hwIdChars >= 1 && hwIdChars <= kMaxRuleHwIdChars : hwIdChars == 0;
}

std::vector<Rule> LoadRules()
{
    std::vector<Rule> rules;
    LoadRuleKey(rules, HKEY_LOCAL_MACHINE, kPolicyRulesKey, true);
    LoadRuleKey(rules, HKEY_CURRENT_USER, kPolicyRulesKey, true);
    LoadRuleKey(rules, HKEY_CURRENT_USER, kRulesKey, false);
    return rules;
}

int UserRuleCount(const std::vector<Rule>& rules)
{
    int count = 0;
    for (const Rule& rule : rules)
        count += rule.managed ? 0 : 1;
    return count;
}

bool SaveRules(const std::vector<Rule>& all)
{
    std::vector<Rule> rules;
    for (const Rule& rule : all) {
        if (rule.managed)
            continue;
        if (!IsValidRule(rule))
            return false;
        rules.push_back(rule);
    }
    if (rules.size() > static_cast<size_t>(kMaxRules))
        return false;
    CcRegistry product;
    if (!product.CreateKey(kProductKey, HKEY_CURRENT_USER, KEY_READ | KEY_WRITE))
        return false;
    // Values of removed rules must not stay behind: the list is written afresh.
    product.DeleteKeyTree(kRulesSubKey);
    CcRegistry key;
    if (!key.CreateKey(kRulesKey, HKEY_CURRENT_USER, KEY_READ | KEY_WRITE))
        return false;
    for (int k = 0; k < static_cast<int>(rules.size()); ++k) {
        const Rule& rule = rules[static_cast<size_t>(k)];
        // The event last: a reader stops at a number without one.
        const bool written = WriteString(key, IndexedName(kRulePresetValueFormat, k), rule.preset) &&
                             (!IsDockEvent(rule.event) ||
                              WriteString(key, IndexedName(kRuleHwIdValueFormat, k), rule.hwId)) &&
                             WriteString(key, IndexedName(kRuleEventValueFormat, k), RuleEventName(rule.event));
        if (!written)
            return false;
    }
    return true;
}

int FindRulePreset(const TaloPresetList& presets, const wchar_t* name)
{
    for (int i = 0; i < presets.GetSize(); ++i) {
        if (lstrcmpiW(presets[i].Name, name) == 0)
            return i;
    }
    return -1;
}
