#pragma once

#include "catalog/RuleStore.h"

#include <string>

class CTextMgr;

// The launcher's texts: its tooltip and its menu item, in the size of a menu
// item; the parts of a rule's balloon; and the notice of a shortcut key that
// another program holds, in the sizes of a balloon's title and text.
struct LauncherTexts {
    static constexpr int kChars = 128;
    static constexpr int kNoticeTitleChars = 64;
    static constexpr int kNoticeChars = 256;

    wchar_t tooltip[kChars];                      // "IDS_PROGRAM_TITLE"
    wchar_t settingsItem[kChars];                 // "IDS_MENU_SETTING"
    wchar_t ruleEvents[kRuleEventCount][kChars];  // "IDS_RULE_CABLEIN"...: "Network cable plugged in"
    wchar_t ruleApplied[kChars];                  // "IDS_RULE_APPLIED": "%s: %s applied", the event and the preset
    wchar_t hotkeyTakenTitle[kNoticeTitleChars];  // "IDS_HOTKEY_TAKEN_TITLE"
    wchar_t hotkeyTaken[kNoticeChars];            // "IDS_HOTKEY_TAKEN": %1 the preset, %2 the key
};

// The notice of a preset's key that another program holds: hotkeyTaken with %1
// replaced by the preset's name and %2 by the key.
std::wstring HotkeyTakenText(const LauncherTexts& texts, const std::wstring& preset, const std::wstring& key);

// Reads the texts from the manager's "TALOLNC" section, each cut to its size
// - 1 characters. Without a text file (or key) the product's name stands in for
// the first two, so that the menu never shows an empty item, and English texts
// for the balloons.
void LoadLauncherTexts(CTextMgr& texts, LauncherTexts* out);
