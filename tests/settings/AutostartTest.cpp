// The autostart box of the settings window: the value "Kestrune" it mirrors and
// writes, and the launcher it starts and ends (a stand-in that records its starts).
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "settings/SettingsResources.h"
#include "tests/settings/SettingsInstall.h"
#include "tests/settings/SettingsWindow.h"
#include "tests/support/GuiWindows.h"
#include "tests/support/ProgramRunner.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kProbeKey[] = L"Software\\AirvaneTests\\LauncherProbe";

std::optional<std::wstring> ReadRunValue()
{
    wchar_t value[1024];
    DWORD bytes = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValue, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

void WriteRunValue(const std::optional<std::wstring>& value)
{
    RegKey run;
    RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, run.Put(), nullptr);
    if (!value) {
        RegDeleteValueW(run.Get(), kAutostartValue);
        return;
    }
    RegSetValueExW(run.Get(), kAutostartValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
}

// The command lines the launcher stand-in was started with, in order.
std::vector<std::wstring> LauncherStarts()
{
    std::vector<std::wstring> starts;
    for (int i = 0;; ++i) {
        wchar_t line[1024] = {};
        DWORD bytes = sizeof(line);
        if (RegGetValueW(HKEY_CURRENT_USER, kProbeKey, (L"Start" + std::to_wstring(i)).c_str(), RRF_RT_REG_SZ,
                         nullptr, line, &bytes) != ERROR_SUCCESS)
            return starts;
        starts.push_back(line);
    }
}

bool AwaitLauncherStarts(size_t count)
{
    for (int i = 0; i < 100 && LauncherStarts().size() < count; ++i)
        Sleep(50);
    return LauncherStarts().size() == count;
}

HWND LauncherWindow()
{
    return FindWindowW(kLauncherWindowClass, nullptr);
}

class Autostart : public SettingsProgram {
protected:
    void SetUp() override
    {
        SettingsProgram::SetUp();
        RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
        ASSERT_TRUE(Install().InstallLauncher(PathBesideTest(L"launcher_probe.exe")));
    }

    void TearDown() override
    {
        if (const HWND launcher = LauncherWindow())
            PostMessageW(launcher, WM_DESTROY, 0, 0);
        WriteRunValue(kept_);
        RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
    }

    // What the box shows for the value, in a window opened for it.
    static bool BoxShows(const std::optional<std::wstring>& value)
    {
        WriteRunValue(value);
        SettingsWindow window(Install());
        EXPECT_TRUE(window.IsOpen());
        const bool checked = IsDlgButtonChecked(window.Dialog(), IDC_MAIN_AUTOSTART) == BST_CHECKED;
        EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
        EXPECT_TRUE(window.WaitForExit());
        return checked;
    }

private:
    const std::optional<std::wstring> kept_ = ReadRunValue();
};

TEST_F(Autostart, BoxIsCheckedOnlyForThisInstallsLauncherPath)
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
        {"the path quoted", L"\"" + path + L"\"", false},
        {"another folder's launcher", Install().ParentFolder() + kLauncherProgramFile, false},
        {"the path with an argument", path + L" /e", false},
        {"the path and more than a path holds", path + std::wstring(MAX_PATH, L' '), false},
        {"an empty value", std::wstring(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.checked, BoxShows(c.value));
    }
    EXPECT_TRUE(LauncherStarts().empty()) << "only a click starts the launcher";
}

TEST_F(Autostart, CheckingWritesTheValueAndStartsTheLauncherUncheckingEndsIt)
{
    // What an unquoted start of "...\Air vane\TALOLauncher.exe" would run first.
    const std::wstring decoy = Install().ParentFolder() + L"Air.exe";
    ASSERT_TRUE(CopyFileW(PathBesideTest(L"companion_probe.exe").c_str(), decoy.c_str(), FALSE));
    WriteRunValue(std::nullopt);
    SettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    const HWND box = window.Item(IDC_MAIN_AUTOSTART);
    const std::wstring quoted = L"\"" + Install().LauncherPath() + L"\"";

    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(window.Dialog(), IDC_MAIN_AUTOSTART));
    EXPECT_EQ(Install().LauncherPath(), ReadRunValue().value_or(L"(none)"));
    ASSERT_TRUE(AwaitLauncherStarts(1));
    EXPECT_EQ(quoted, LauncherStarts()[0]);
    WindowQuery launcher;
    launcher.className = kLauncherWindowClass;
    launcher.visibleOnly = false;
    EXPECT_NE(nullptr, WaitForTopLevelWindow(launcher));

    SendMessageTimeoutW(box, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(window.Dialog(), IDC_MAIN_AUTOSTART));
    EXPECT_FALSE(ReadRunValue().has_value());
    ASSERT_TRUE(AwaitLauncherStarts(2));
    EXPECT_EQ(quoted + L" /e", LauncherStarts()[1]);
    EXPECT_TRUE(WaitForWindowGone(LauncherWindow())) << "the running launcher was not ended";

    EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ(0u, CompanionRuns()) << "the program named by the path's first word ran";
    DeleteFileW(decoy.c_str());
}

} // namespace
