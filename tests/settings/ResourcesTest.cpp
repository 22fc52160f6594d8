#include "settings/SettingsResources.h"

#include "AirvaneVersion.h"
#include "tests/support/DialogTemplate.h"
#include "tests/support/ModuleResources.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <string>
#include <vector>

// The test program links the settings program's resources: they are its own.
namespace {

struct ExpectedControl {
    int id;
    const wchar_t* className;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
    short x, y, cx, cy;
    const wchar_t* text;
};

struct ExpectedDialog {
    int id;
    short cx, cy;
    DWORD style;
    const wchar_t* caption;
    std::vector<ExpectedControl> controls;
};

constexpr DWORD kCaptionedDialog =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;

const ExpectedDialog kDialogs[] = {
    {IDD_MAIN, 283, 239, kCaptionedDialog, L"GUIWIN_NAME",
     {
         {-1, L"Static", SS_BLACKFRAME | SS_SUNKEN | WS_GROUP, 3, 3, 276, 72, L""},
         {-1, L"Static", SS_ICON, 6, 9, 20, 20, L"#106"},
         {1007, L"Static", SS_CENTERIMAGE, 30, 6, 246, 9, L"IDC_PROGRAM_TITLE"},
         {1008, L"Static", SS_LEFT, 30, 15, 246, 15, L"IDC_COPYRIGHT"},
         {1009, L"Static", SS_LEFT, 6, 30, 267, 42, L"IDC_MAIN_DESC"},
         {1010, L"Static", SS_CENTERIMAGE | WS_GROUP, 3, 75, 273, 12, L"IDC_LBL_PRESET"},
         {1011, L"ListBox",
          LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 3, 87, 276,
          42, L""},
         {1012, L"Static", SS_CENTERIMAGE | WS_GROUP, 3, 129, 276, 9, L"IDC_LBL_STATUS"},
         {1013, L"SysTreeView32",
          TVS_CHECKBOXES | TVS_FULLROWSELECT | TVS_NOTOOLTIPS | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 3, 138,
          276, 42, L""},
         {1017, L"Static", SS_CENTERIMAGE | WS_GROUP, 3, 183, 80, 12, L"IDC_LBL_HOTKEY"},
         {1018, L"msctls_hotkey32", WS_BORDER | WS_TABSTOP, 86, 183, 127, 12, L""},
         {1019, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 216, 183, 62, 12, L"IDC_SETHOTKEY"},
         {1003, L"Button", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 3, 198, 276, 12, L"IDC_LBL_TRAYICON"},
         {1024, L"Button", BS_AUTOCHECKBOX | WS_TABSTOP, 3, 210, 276, 12, L"IDC_KEEPAPPLIED"},
         {1005, L"Button", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 3, 225, 72, 12, L"IDC_DELETE_PRESER"},
         {1025, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 78, 225, 72, 12, L"IDC_RULES"},
         {IDOK, L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 153, 225, 62, 12, L"IDC_IDOK"},
         {IDCANCEL, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 216, 225, 62, 12, L"IDC_IDCANCEL"},
     }},
    {IDD_REGISTER, 291, 95, kCaptionedDialog, L"GUIREG_NAME",
     {
         {-1, L"Static", SS_ICON | WS_GROUP, 3, 3, 20, 20, L"#106"},
         {1014, L"Static", SS_LEFT, 24, 3, 261, 24, L"IDC_REG_DESCLIPTION"},
         {1015, L"Static", SS_LEFT | WS_GROUP, 3, 27, 285, 9, L"IDC_LBL_NEWPRESETNAME"},
         {1004, L"Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 3, 36, 285, 12, L""},
         {1020, L"Static", SS_CENTERIMAGE | WS_GROUP, 3, 51, 80, 12, L"IDC_LBL_HOTKEY"},
         {1021, L"msctls_hotkey32", WS_BORDER | WS_TABSTOP, 86, 51, 202, 12, L""},
         {IDOK, L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 3, 66, 141, 12, L"IDOK_REGISTER"},
         {3, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 147, 66, 141, 12, L"IDC_APPLYONLY"},
         {IDCANCEL, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 147, 81, 141, 12, L"IDC_IDCANCEL"},
     }},
    {IDD_PROGRESS, 254, 29,
     WS_POPUP | WS_VISIBLE | WS_BORDER | DS_CENTER | DS_SETFOREGROUND | DS_NOFAILCREATE | DS_SETFONT, L"",
     {
         {-1, L"Static", SS_ICON, 3, 6, 18, 16, L"#106"},
         {1016, L"Static", SS_LEFT | WS_GROUP, 24, 3, 225, 24, L"MESSAGE_PROGRESS_MESSAGE"},
     }},
};

TEST(SettingsResources, DialogTemplatesHoldEachControlWithItsStylePlaceAndKey)
{
    for (const ExpectedDialog& expected : kDialogs) {
        SCOPED_TRACE(testing::Message() << "dialog " << expected.id);
        DialogTemplate dialog;
        ASSERT_TRUE(LoadDialogTemplate(nullptr, expected.id, &dialog));
        EXPECT_EQ(dialog.cx, expected.cx);
        EXPECT_EQ(dialog.cy, expected.cy);
        EXPECT_EQ(dialog.style, expected.style) << std::hex << (dialog.style ^ expected.style) << " differ";
        EXPECT_EQ(dialog.caption, expected.caption);
        EXPECT_EQ(dialog.font, L"Lucida Sans Unicode");
        EXPECT_EQ(dialog.pointSize, 9);
        EXPECT_EQ(dialog.weight, FW_NORMAL);
        EXPECT_EQ(dialog.italic, 0);
        ASSERT_EQ(dialog.items.size(), expected.controls.size());
        for (size_t i = 0; i < expected.controls.size(); ++i) {
            const ExpectedControl& control = expected.controls[i];
            const DialogTemplateItem& actual = dialog.items[i];
            SCOPED_TRACE(testing::Message() << "control " << i << ", id " << control.id);
            EXPECT_EQ(actual.id, control.id);
            EXPECT_EQ(lstrcmpiW(actual.className.c_str(), control.className), 0) << actual.className.c_str();
            EXPECT_EQ(actual.style, control.style | WS_CHILD | WS_VISIBLE)
                << std::hex << (actual.style ^ (control.style | WS_CHILD | WS_VISIBLE)) << " differ";
            EXPECT_EQ(actual.x, control.x);
            EXPECT_EQ(actual.y, control.y);
            EXPECT_EQ(actual.cx, control.cx);
            EXPECT_EQ(actual.cy, control.cy);
            EXPECT_EQ(actual.text, control.text);
        }
    }
}

// The window's title bar and the icon controls of the dialogs at 100 to 200 %.
TEST(SettingsResources, IconHoldsTheSizesItIsShownIn)
{
    const std::vector<int> sizes = IconImageSizes(nullptr, IDI_SETTINGS);
    EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 48}));
    for (int size : sizes)
        EXPECT_EQ(LoadedIconWidth(nullptr, IDI_SETTINGS, size), size);
}

TEST(SettingsResources, VersionNamesTheProductItsMakerAndTheProjectVersion)
{
    EXPECT_EQ(VersionString(nullptr, L"ProductName"), L"Airvane");
    EXPECT_EQ(VersionString(nullptr, L"CompanyName"), L"Korvath");
    EXPECT_EQ(VersionString(nullptr, L"OriginalFilename"), L"TALOSetting.exe");
    EXPECT_EQ(VersionString(nullptr, L"ProductVersion"), TEXT(AIRVANE_VERSION_TEXT));
    VS_FIXEDFILEINFO fixed = {};
    ASSERT_TRUE(FixedVersion(nullptr, &fixed));
    EXPECT_EQ(fixed.dwProductVersionMS, DWORD(MAKELONG(AIRVANE_VERSION_MINOR, AIRVANE_VERSION_MAJOR)));
    EXPECT_EQ(fixed.dwProductVersionLS, DWORD(MAKELONG(0, AIRVANE_VERSION_PATCH)));
    EXPECT_EQ(fixed.dwFileVersionMS, fixed.dwProductVersionMS);
    EXPECT_EQ(fixed.dwFileType, DWORD(VFT_APP));
}

// The manifest takes effect as the process starts: it is this process's own.
TEST(SettingsResources, ManifestSelectsCommonControls6AndPerMonitorDpiAwareness)
{
    EXPECT_TRUE(UsesCommonControls6());
    const int awareness = ThreadDpiAwareness();
    if (awareness < 0)
        GTEST_SKIP() << "the system cannot report DPI awareness";
    EXPECT_EQ(awareness, 2);
}

} // namespace
