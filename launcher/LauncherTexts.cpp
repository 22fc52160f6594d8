#include "launcher/LauncherTexts.h"

#include "foundation/CTextMgr.h"
#include "foundation/Names.h"

namespace {

constexpr wchar_t kTooltipKey[] = L"IDS_PROGRAM_TITLE";
constexpr wchar_t kSettingsItemKey[] = L"IDS_MENU_SETTING";
constexpr wchar_t kFallbackText[] = L"Airvane";

} // namespace

void LoadLauncherTexts(CTextMgr& texts, LauncherTexts* out)
{
    texts.SetSection(kLauncherSection);
    lstrcpynW(out->tooltip, texts.GetText(kTooltipKey, kFallbackText), LauncherTexts::kChars);
    lstrcpynW(out->settingsItem, texts.GetText(kSettingsItemKey, kFallbackText), LauncherTexts::kChars);
}
