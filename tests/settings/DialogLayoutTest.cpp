// The settings window, the register and rules dialogs and their message boxes with
// the shipped texts of every language at 100 and 150 %: each text fits its control,
// and a screenshot of each goes to screenshots/settings_window_tests/.
#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/Screenshot.h"
#include "automation/RegistrySnapshot.h"
#include "automation/SettingsWindow.h"
#include "catalog/RuleStore.h"
#include "foundation/Names.h"
#include "settings/SettingsResources.h"
#include "tests/settings/SettingsInstall.h"
#include "tests/support/ScopedDpi.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <string>

using namespace testdevice;

namespace {

// The settings program with the shipped text file of one language as its default.
class LanguageInstall {
public:
    explicit LanguageInstall(const std::wstring& language)
    {
        const std::wstring texts = language + L"\\" + kTextFile;
        ready_ = CopyFileW(ProgramPath(kSettingsProgramFile).c_str(), SettingsPath().c_str(), FALSE) &&
                 folder_.WriteTextFile(kLanguageIniFile, L"[Folder]\nDefault=" + language + L"\n") &&
                 folder_.CreateFolder(language) &&
                 CopyFileW(ProgramPath(texts.c_str()).c_str(), (folder_.Path() + texts).c_str(), FALSE);
        textFile_ = folder_.Path() + texts;
    }

    bool IsReady() const { return ready_; }
    std::wstring SettingsPath() const { return folder_.Path() + kSettingsProgramFile; }

    std::wstring Text(const wchar_t* key) const
    {
        wchar_t text[512] = {};
        GetPrivateProfileStringW(kSettingsSection, key, L"", text, ARRAYSIZE(text), textFile_.c_str());
        return text;
    }

private:
    TempFolder folder_;
    std::wstring textFile_;
    bool ready_ = false;
};

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

// Measures with the dialogs' font as the dialog manager makes it for a process at dpi.
class DialogFont {
public:
    explicit DialogFont(int dpi)
        : font_(CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                            L"Lucida Sans Unicode"))
    {
        SelectObject(dc_, font_);
    }
    ~DialogFont()
    {
        DeleteDC(dc_);
        DeleteObject(font_);
    }
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;

    // Pixels of dialogUnits horizontal dialog units.
    int Width(int dialogUnits) const
    {
        SIZE size = {};
        GetTextExtentPoint32W(dc_, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
        return MulDiv(dialogUnits, (size.cx / 26 + 1) / 2, 4);
    }

    // The size text needs, wrapped at width unless on a single line.
    SIZE Needs(const std::wstring& text, int width, bool singleLine) const
    {
        RECT rect = {0, 0, width, 0};
        const UINT lines = singleLine ? DT_SINGLELINE : DT_WORDBREAK;
        DrawTextW(dc_, text.c_str(), -1, &rect, DT_CALCRECT | DT_EXPANDTABS | lines);
        return {rect.right, rect.bottom};
    }

private:
    HDC dc_ = CreateCompatibleDC(nullptr);
    HFONT font_;
};

// Every static and button text of the dialog shows whole: wrapped statics within
// their rectangle, single-line ones, buttons and the check box on one line.
testing::AssertionResult TextsFit(HWND dialog, int dpi, int dialogWidth)
{
    const DialogFont font(dpi);
    RECT client = {};
    GetClientRect(dialog, &client);
    if (std::abs(client.right - font.Width(dialogWidth)) > 2)
        return testing::AssertionFailure() << "the dialog is " << client.right << " pixels wide, not "
                                           << font.Width(dialogWidth) << ": measured with another font";
    testing::AssertionResult result = testing::AssertionSuccess();
    bool fits = true;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        GetClassNameW(control, className, ARRAYSIZE(className));
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        const std::wstring text = WindowText(control);
        RECT rect = {};
        GetClientRect(control, &rect);
        SIZE needs = {};
        int margin = 0;
        if (lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_LEFT) {
            needs = font.Needs(text, rect.right, (style & SS_CENTERIMAGE) != 0);
        } else if (lstrcmpiW(className, L"Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            needs = font.Needs(text, rect.right, true);
            margin = MulDiv(type == BS_AUTOCHECKBOX ? 16 : 8, dpi, 96); // the box, or the button's edges
        } else {
            continue;
        }
        if (text.empty() || (needs.cx + margin <= rect.right && needs.cy <= rect.bottom))
            continue;
        fits = false;
        result << "\n  control " << GetDlgCtrlID(control) << " needs " << needs.cx + margin << "x" << needs.cy
               << " pixels, has " << rect.right << "x" << rect.bottom << ": " << Utf8(text);
    }
    return fits ? testing::AssertionSuccess() : testing::AssertionFailure() << result.message();
}

class DialogLayout : public SettingsProgram {};

TEST_F(DialogLayout, EveryLanguageFitsItsControlsAt100And150Percent)
{
    const struct {
        const wchar_t* folder;
        const wchar_t* tag;
    } languages[] = {{L"English", L"en"}, {L"German", L"de"}, {L"Japanese", L"ja"}};
    StorePreset(0, L"Office", {{kWlanName, L"Net", kWlanHwId, 1}});
    StorePreset(1, L"Travel", {{kWlanName, L"Net", kWlanHwId, 0}});
    const DWORD ctrlAltO = MAKEWORD('O', HOTKEYF_CONTROL | HOTKEYF_ALT);
    RegSetKeyValueW(HKEY_CURRENT_USER, PresetPath(0).c_str(), L"Hotkey", REG_DWORD, &ctrlAltO, sizeof(ctrlAltO));
    // The rules dialog's list: the administrator's rule, a dock's, and one whose preset is gone.
    const ScopedPolicy policy;
    const RegistrySnapshot userRules(HKEY_CURRENT_USER, kRulesKey);
    ASSERT_TRUE(policy.StoreRule(HKEY_LOCAL_MACHINE, 0, L"AC", L"Office"));
    Rule cable, dock, gone;
    cable.preset = L"Travel";
    dock.event = RuleEvent::Undocked;
    dock.preset = L"Travel";
    dock.hwId = L"USB\\VID_17EF&PID_30A9";
    gone.event = RuleEvent::Battery;
    gone.preset = L"Holiday";
    ASSERT_TRUE(SaveRules({cable, dock, gone}));
    for (const int percent : {100, 150}) {
        const int dpi = percent * 96 / 100;
        ScopedDpi scale(dpi);
        ASSERT_TRUE(scale.Applied());
        for (const auto& language : languages) {
            const std::wstring tag = std::wstring(language.tag) + L"-" + std::to_wstring(percent);
            SCOPED_TRACE(Utf8(tag));
            const LanguageInstall install(language.folder);
            ASSERT_TRUE(install.IsReady());
            SettingsWindow window(install.SettingsPath(), install.Text(L"GUIWIN_NAME"), install.Text(L"GUIREG_NAME"));
            ASSERT_TRUE(window.IsOpen());
            window.Select(2);
            EXPECT_TRUE(TextsFit(window.Dialog(), dpi, 283));
            EXPECT_TRUE(SaveWindowScreenshot(window.Dialog(), L"main-" + tag));

            const HWND registerDialog = window.PressOkForRegister();
            ASSERT_NE(nullptr, registerDialog);
            if (const HWND warning = window.PressForMessageBox(registerDialog, IDOK)) {
                EXPECT_TRUE(SaveWindowScreenshot(warning, L"register-warning-" + tag));
                PressButton(warning, IDOK);
                WaitForWindowGone(warning);
            }
            TypeName(registerDialog, L"Café Préférence");
            SendMessageTimeoutW(GetDlgItem(registerDialog, IDC_REGISTER_HOTKEY), HKM_SETHOTKEY,
                                MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0, SMTO_ABORTIFHUNG, 1000, nullptr);
            EXPECT_TRUE(TextsFit(registerDialog, dpi, 291));
            EXPECT_TRUE(SaveWindowScreenshot(registerDialog, L"register-" + tag));
            EXPECT_TRUE(PressButton(registerDialog, IDCANCEL));
            EXPECT_TRUE(WaitForWindowGone(registerDialog));

            window.Select(0);
            PumpMessagesFor(200);
            EXPECT_TRUE(SaveWindowScreenshot(window.Dialog(), L"main-preset-" + tag)) << "with its shortcut key";
            if (const HWND confirmation = window.PressForMessageBox(window.Dialog(), IDC_MAIN_DELETE)) {
                EXPECT_TRUE(SaveWindowScreenshot(confirmation, L"delete-" + tag));
                PressButton(confirmation, IDCANCEL);
                WaitForWindowGone(confirmation);
            }
            EXPECT_TRUE(PressButton(window.Dialog(), IDC_MAIN_RULES));
            WindowQuery rulesQuery;
            rulesQuery.processId = window.Program().ProcessId();
            const std::wstring rulesTitle = install.Text(L"GUIRULES_NAME");
            rulesQuery.title = rulesTitle.c_str();
            if (const HWND rulesDialog = WaitForTopLevelWindow(rulesQuery)) {
                EXPECT_TRUE(TextsFit(rulesDialog, dpi, 283));
                EXPECT_TRUE(SaveWindowScreenshot(rulesDialog, L"rules-" + tag));
                PressButton(rulesDialog, IDCANCEL);
                WaitForWindowGone(rulesDialog);
            } else {
                ADD_FAILURE() << "no rules dialog";
            }
            EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
            EXPECT_TRUE(window.WaitForExit());
        }
    }
}

} // namespace
