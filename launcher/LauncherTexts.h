#pragma once

class CTextMgr;

// The launcher's two texts, in the sizes of a tooltip and of a menu item.
struct LauncherTexts {
    static constexpr int kChars = 128;

    wchar_t tooltip[kChars];      // "IDS_PROGRAM_TITLE"
    wchar_t settingsItem[kChars]; // "IDS_MENU_SETTING"
};

// Reads both texts from the manager's "TALOLNC" section, each cut to
// LauncherTexts::kChars - 1 characters. Without a text file (or key) the
// product's name stands in for both, so that the menu never shows an empty item.
void LoadLauncherTexts(CTextMgr& texts, LauncherTexts* out);
