#include "launcher/LauncherTexts.h"

#include "foundation/CTextMgr.h"
#include "foundation/Names.h"

namespace {

constexpr wchar_t kTooltipKey[] = L"IDS_PROGRAM_TITLE";
constexpr wchar_t kSettingsItemKey[] = L"IDS_MENU_SETTING";
constexpr wchar_t kFallbackText[] = L"Airvane";
constexpr wchar_t kHotkeyTakenTitleKey[] = L"IDS_HOTKEY_TAKEN_TITLE";
constexpr wchar_t kHotkeyTakenKey[] = L"IDS_HOTKEY_TAKEN";
constexpr wchar_t kHotkeyTakenTitleFallback[] = L"Shortcut key not available";
constexpr wchar_t kHotkeyTakenFallback[] = L"Another program uses %2, the shortcut key of the preset \"%1\".";

// Every "%<digit>" of text replaced by its argument; the arguments are not searched again.
std::wstring Substituted(const std::wstring& text, const std::wstring& first, const std::wstring& second)
{
    std::wstring result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size() && (text[i + 1] == L'1' || text[i + 1] == L'2')) {
            result += text[i + 1] == L'1' ? first : second;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

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
    lstrcpynW(out->hotkeyTakenTitle, texts.GetText(kHotkeyTakenTitleKey, kHotkeyTakenTitleFallback),
              LauncherTexts::kNoticeTitleChars);
    lstrcpynW(out->hotkeyTaken, texts.GetText(kHotkeyTakenKey, kHotkeyTakenFallback), LauncherTexts::kNoticeChars);
}

std::wstring HotkeyTakenText(const LauncherTexts& texts, const std::wstring& preset, const std::wstring& key)
{
    return Substituted(texts.hotkeyTaken, preset, key);
}
