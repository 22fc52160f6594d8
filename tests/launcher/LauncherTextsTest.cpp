#include "foundation/CTextMgr.h"
#include "launcher/LauncherTexts.h"
#include "launcher/ShutdownLevel.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(LoadLauncherTexts, ReadsTheTwoTextsAndCutsThemToTheirBuffers)
{
    TempFolder folder;
    const std::wstring longTip(300, L'T');
    const std::wstring longItem = std::wstring(126, L'I') + L"XYZ";
    ASSERT_TRUE(folder.WriteTextFile(L"TALOTXT.ini", L"[TALOLNC]\nIDS_PROGRAM_TITLE=" + longTip +
                                                         L"\nIDS_MENU_SETTING=" + longItem + L"\n"));
    CTextMgr texts((folder.Path() + L"TALOTXT.ini").c_str(), L"TALOLNC", 512);
    LauncherTexts loaded;
    std::memset(&loaded, 0x5A, sizeof(loaded));
    LoadLauncherTexts(texts, &loaded);
    EXPECT_EQ(std::wstring(loaded.tooltip), longTip.substr(0, 127));
    EXPECT_EQ(std::wstring(loaded.settingsItem), longItem.substr(0, 127));
}

TEST(LoadLauncherTexts, FallsBackToTheProductNameWithoutATextFile)
{
    CTextMgr texts(L"", L"TALOLNC", 512);
    LauncherTexts loaded = {};
    LoadLauncherTexts(texts, &loaded);
    EXPECT_STREQ(loaded.tooltip, L"Airvane");
    EXPECT_STREQ(loaded.settingsItem, L"Airvane");
}

// The notice's text puts the preset and the key where the language wants them,
// and never reads a name or key as a place holder.
TEST(LoadLauncherTexts, HotkeyNoticeNamesThePresetAndTheKeyInPlace)
{
    TempFolder folder;
    ASSERT_TRUE(folder.WriteTextFile(L"TALOTXT.ini", L"[TALOLNC]\nIDS_HOTKEY_TAKEN_TITLE=Taken\n"
                                                     L"IDS_HOTKEY_TAKEN=%2 of %1 (100%)\n"));
    CTextMgr texts((folder.Path() + L"TALOTXT.ini").c_str(), L"TALOLNC", 512);
    LauncherTexts loaded = {};
    LoadLauncherTexts(texts, &loaded);
    EXPECT_STREQ(loaded.hotkeyTakenTitle, L"Taken");
    EXPECT_EQ(HotkeyTakenText(loaded, L"Travel %2", L"Ctrl+Alt+T"), L"Ctrl+Alt+T of Travel %2 (100%)");

    CTextMgr missing(L"", L"TALOLNC", 512);
    LoadLauncherTexts(missing, &loaded);
    EXPECT_EQ(HotkeyTakenText(loaded, L"Travel", L"Ctrl+T"),
              L"Another program uses Ctrl+T, the shortcut key of the preset \"Travel\".");
}

TEST(QueryNtPlatform, ReportsTheNtPlatformWithItsVersion)
{
    int isNt = -1;
    NtVersion version = {0, 0, 0, 0xFFFFFFFF};
    ASSERT_EQ(QueryNtPlatform(&isNt, &version), 1);
    EXPECT_EQ(isNt, 1);
    EXPECT_GE(version.major, 6u) << "Windows 7 or later";
    EXPECT_GT(version.build, 0u);
    EXPECT_EQ(version.reserved, 0u);
    EXPECT_EQ(QueryNtPlatform(nullptr, nullptr), 1);
}

} // namespace
