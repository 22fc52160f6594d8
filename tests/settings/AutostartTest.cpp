// The autostart box of the settings window: the value "Kestrune" it mirrors and
// writes, and the launcher it starts and ends.
#include "automation/GuiWindows.h"
#include "automation/ProgramRunner.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "settings/SettingsResources.h"
#include "tests/launcher/ScopedAutostart.h"
#include "tests/settings/InstalledSettingsWindow.h"
#include "tests/settings/LauncherUnderTest.h"
#include "tests/settings/SettingsInstall.h"
#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

std::optional<std::wstring> ReadRunValue()
{
    wchar_t value[1024];
    DWORD bytes = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValue, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

// True once no launcher holds its instance mutex. The launcher that the end
// switch starts holds it until it ends, after the launcher it ended; a launcher
// started while it lasts would take itself for a second instance.
bool WaitForNoLauncher(DWORD timeoutMs)
{
    for (DWORD waited = 0;; waited += 50) {
        const KernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, kLauncherInstanceMutex));
        if (!mutex)
            return true;
        if (waited >= timeoutMs)
            return false;
        Sleep(50);
    }
}

// Starts the value as log-on does, as a command line without a program name, and
// waits for the program; its image path, empty when nothing started.
std::wstring ProgramStartedBy(std::wstring commandLine)
{
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return std::wstring();
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    wchar_t image[MAX_PATH] = L"";
    DWORD chars = MAX_PATH;
    QueryFullProcessImageNameW(process.Get(), 0, image, &chars);
    WaitForSingleObject(process.Get(), kGuiTimeoutMs);
    return image;
}

class Autostart : public SettingsProgram {
protected:
    void TearDown() override
    {
        LauncherUnderTest(0); // one that a failed test left running ends
    }

    // What the box shows for the value, in a window opened for it.
    static bool BoxShows(const std::optional<std::wstring>& value)
    {
        if (value)
            EXPECT_TRUE(ScopedAutostart::Set(*value));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValue);
        InstalledSettingsWindow window(Install());
        EXPECT_TRUE(window.IsOpen());
        const bool checked = IsDlgButtonChecked(window.Dialog(), IDC_MAIN_AUTOSTART) == BST_CHECKED;
        EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
        EXPECT_TRUE(window.WaitForExit());
        return checked;
    }

    ScopedAutostart autostart_;
};

TEST_F(Autostart, BoxIsCheckedOnlyForThisInstallsLauncherPathQuotedOrNot)
{
    const std::wstring path = Install().LauncherPath();
    std::wstring upper = path;
    CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    const struct {
        const char* what;
        std::optional<std::wstring> value;
        bool checked;
    } cases[] = {
        {"no value", std::nullopt, false},
        {"the path", path, true},
        {"the path in capitals", upper, true},
        {"the path quoted, as written now", L"\"" + path + L"\"", true},
        {"the path quoted in capitals", L"\"" + upper + L"\"", true},
        {"the path with one quote", L"\"" + path, false},
        {"another folder's launcher", Install().ParentFolder() + kLauncherProgramFile, false},
        {"another folder's launcher quoted", L"\"" + Install().ParentFolder() + kLauncherProgramFile + L"\"", false},
        {"the path with an argument", path + L" /e", false},
        {"the path and more than a path holds", path + std::wstring(MAX_PATH, L' '), false},
        {"an empty value", std::wstring(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.checked, BoxShows(c.value));
    }
    EXPECT_FALSE(LauncherUnderTest(0).IsRunning()) << "only a click starts the launcher";
}

// While the Autostart policy decides, the box shows it disabled, the user's value follows it
// (written quoted for 1, removed for 0), and a click changes nothing.
TEST_F(Autostart, PolicyDecidesTheBoxAndTheValue)
{
    const std::wstring quoted = L"\"" + Install().LauncherPath() + L"\"";
    const struct {
        HKEY root;
        DWORD autostart;
        std::optional<std::wstring> before;
        std::optional<std::wstring> after;
    } cases[] = {
        {HKEY_LOCAL_MACHINE, 1, std::nullopt, quoted},
        {HKEY_CURRENT_USER, 1, Install().LauncherPath(), Install().LauncherPath()},
        {HKEY_CURRENT_USER, 0, quoted, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.root == HKEY_LOCAL_MACHINE ? "machine " : "user ") << c.autostart);
        const ScopedPolicy policy;
        ASSERT_TRUE(policy.SetDWord(c.root, L"Autostart", c.autostart));
        if (c.before)
            ASSERT_TRUE(ScopedAutostart::Set(*c.before));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValue);
        InstalledSettingsWindow window(Install());
        ASSERT_TRUE(window.IsOpen());
        const UINT shown = c.autostart == 1 ? BST_CHECKED : BST_UNCHECKED;
        EXPECT_EQ(shown, IsDlgButtonChecked(window.Dialog(), IDC_MAIN_AUTOSTART));
        EXPECT_FALSE(IsWindowEnabled(window.Item(IDC_MAIN_AUTOSTART)));
        PostMessageW(window.Dialog(), WM_COMMAND, IDC_MAIN_AUTOSTART, 0);
        PumpMessagesFor(300);
        EXPECT_EQ(shown, IsDlgButtonChecked(window.Dialog(), IDC_MAIN_AUTOSTART));
        EXPECT_EQ(c.after, ReadRunValue());
        EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
        EXPECT_TRUE(window.WaitForExit());
        EXPECT_FALSE(LauncherUnderTest(0).IsRunning()) << "a posted click started the launcher";
    }
}

TEST_F(Autostart, CheckingWritesTheValueAndStartsTheLauncherUncheckingEndsIt)
{
    // What an unquoted start of "...\Air vane\TALOLauncher.exe" would run first.
    const std::wstring decoy = Install().ParentFolder() + L"Air.exe";
    ASSERT_TRUE(CopyFileW(PathBesideTest(L"companion_probe.exe").c_str(), decoy.c_str(), FALSE));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValue);
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    const HWND box = window.Item(IDC_MAIN_AUTOSTART);

    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(window.Dialog(), IDC_MAIN_AUTOSTART));
    EXPECT_EQ(L"\"" + Install().LauncherPath() + L"\"", ReadRunValue().value_or(L"(none)"))
        << "the path in quotes: it has a blank";
    const LauncherUnderTest launcher(kGuiTimeoutMs);
    EXPECT_TRUE(launcher.IsRunning());
    // A second launcher, as at log-on: it finds the first one and ends.
    EXPECT_EQ(Install().LauncherPath(), ProgramStartedBy(ReadRunValue().value_or(L"")));

    SendMessageTimeoutW(box, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(window.Dialog(), IDC_MAIN_AUTOSTART));
    EXPECT_FALSE(ReadRunValue().has_value());
    EXPECT_TRUE(launcher.WaitForEnd()) << "the running launcher was not ended";
    EXPECT_TRUE(WaitForNoLauncher(kGuiTimeoutMs)) << "the end switch's launcher did not end";

    EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ(0u, CompanionRuns()) << "the program named by the path's first word ran";
    DeleteFileW(decoy.c_str());
}

} // namespace
