#pragma once

#include "catalog/RuleStore.h"

class CTextMgr;

// The launcher's texts: its tooltip, its menu item and the parts of a rule's balloon.
struct LauncherTexts {
    static constexpr int kChars = 128;

    wchar_t tooltip[kChars];      // "IDS_PROGRAM_TITLE"
    wchar_t settingsItem[kChars]; // "IDS_MENU_SETTING"
    wchar_t ruleEvents[kRuleEventCount][kChars]; // "IDS_RULE_CABLEIN"...: "Network cable plugged in"
    wchar_t ruleApplied[kChars];  // "IDS_RULE_APPLIED": "%s: %s applied", the event and the preset
};

// Reads the texts from the manager's "TALOLNC" section, each cut to
// LauncherTexts::kChars - 1 characters. Without a text file (or key) the
// product's name stands in for the first two, so that the menu never shows an
// empty item, and English words for the balloon's.
void LoadLauncherTexts(CTextMgr& texts, LauncherTexts* out);
