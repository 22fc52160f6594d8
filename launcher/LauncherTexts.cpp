#include "launcher/LauncherTexts.h"

#include "foundation/CTextMgr.h"
#include "foundation/Names.h"

namespace {

constexpr wchar_t kTooltipKey[] = L"IDS_PROGRAM_TITLE";
constexpr wchar_t kSettingsItemKey[] = L"IDS_MENU_SETTING";
constexpr wchar_t kFallbackText[] = L"Airvane";

struct RuleText {
    const wchar_t* key;
    const wchar_t* fallback;
};
// In the order of RuleEvent.
constexpr RuleText kRuleEventTexts[kRuleEventCount] = {
    {L"IDS_RULE_CABLEIN", L"Network cable plugged in"}, {L"IDS_RULE_CABLEOUT", L"Network cable unplugged"},
    {L"IDS_RULE_BATTERY", L"On battery"},               {L"IDS_RULE_AC", L"On AC power"},
    {L"IDS_RULE_DOCKED", L"Docked"},                    {L"IDS_RULE_UNDOCKED", L"Undocked"},
};

} // namespace

void LoadLauncherTexts(CTextMgr& texts, LauncherTexts* out)
{
    texts.SetSection(kLauncherSection);
    lstrcpynW(out->tooltip, texts.GetText(kTooltipKey, kFallbackText), LauncherTexts::kChars);
    lstrcpynW(out->settingsItem, texts.GetText(kSettingsItemKey, kFallbackText), LauncherTexts::kChars);
    for (int i = 0; i < kRuleEventCount; ++i) {
        lstrcpynW(out->ruleEvents[i], texts.GetText(kRuleEventTexts[i].key, kRuleEventTexts[i].fallback),
                  LauncherTexts::kChars);
    }
    lstrcpynW(out->ruleApplied, texts.GetText(L"IDS_RULE_APPLIED", L"%s: %s applied"), LauncherTexts::kChars);
}
