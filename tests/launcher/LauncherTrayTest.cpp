#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "launcher/LauncherWindow.h"
#include "tests/launcher/MenuProbe.h"
#include "tests/launcher/ScopedUserState.h"
#include "tests/launcher/WineTray.h"
#include "tests/support/GuiWindows.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestPrograms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// End to end: TALOLauncher.exe of the simulated notebook in the session's
// virtual desktop, with its icon in Wine's notification area.

namespace {

constexpr DWORD kEndTimeoutMs = 10000;
constexpr DWORD kNoExit = 0xFFFFFFFF;
constexpr UINT kMarkerId = 77;

DWORD ExitCodeOf(RunningProgram& program, DWORD timeoutMs = kEndTimeoutMs)
{
    DWORD exitCode = kNoExit;
    return program.WaitForExit(&exitCode, timeoutMs) ? exitCode : kNoExit;
}

// The hidden window of a launcher process, waited for.
HWND WaitForLauncherWindow(DWORD processId)
{
    WindowQuery query;
    query.processId = processId;
    query.className = kLauncherWindowClass;
    query.visibleOnly = false;
    return WaitForTopLevelWindow(query);
}

HWND WaitForPopupMenu(DWORD processId, DWORD timeoutMs = kGuiTimeoutMs)
{
    WindowQuery query;
    query.processId = processId;
    query.className = L"#32768";
    return WaitForTopLevelWindow(query, timeoutMs);
}

// The number of icons in the tray: the slot where an icon added now lands.
int TrayIconCount()
{
    TrayListener marker;
    if (!marker.AddIcon(kMarkerId))
        return -1;
    const int slot = marker.SlotOf(kMarkerId);
    marker.RemoveIcon(kMarkerId);
    return slot;
}

// Polls the icon count until it is expected (the shell takes its messages in its own time).
testing::AssertionResult TrayIconCountBecomes(int expected)
{
    int count = -1;
    for (int attempt = 0; attempt < 50; ++attempt) {
        count = TrayIconCount();
        if (count == expected)
            return testing::AssertionSuccess();
        PumpMessagesFor(100);
    }
    return testing::AssertionFailure() << "the tray holds " << count << " icons, not " << expected;
}

// Runs TALOLauncher.exe with the arguments to its end; its exit code.
DWORD RunLauncher(const std::wstring& arguments)
{
    RunningProgram launcher(ProgramPath(kLauncherProgramFile), arguments);
    return ExitCodeOf(launcher);
}

class LauncherTray : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(presets_.Ready());
        ASSERT_EQ(FindWindowW(kLauncherWindowClass, nullptr), nullptr) << "a launcher runs already";
    }

    void TearDown() override
    {
        if (launcher_ && launcher_->IsRunning()) {
            RunLauncher(L"/e");
            launcher_->WaitForExit(nullptr, kEndTimeoutMs);
        }
    }

    // Starts the launcher and waits for its window.
    HWND StartLauncher(const std::wstring& path = ProgramPath(kLauncherProgramFile))
    {
        launcher_ = std::make_unique<RunningProgram>(path, L"");
        if (!launcher_->Started())
            return nullptr;
        window_ = WaitForLauncherWindow(launcher_->ProcessId());
        return window_;
    }

    // The menu as a right click on the icon opens it.
    HWND OpenMenu()
    {
        PostMessageW(window_, TrayCallbackMsg, 0, WM_RBUTTONUP);
        return WaitForPopupMenu(launcher_->ProcessId());
    }

    // Escape closes the menu: its loop reads the keys of the launcher's thread.
    bool CloseMenu(HWND menu)
    {
        PostMessageW(window_, WM_KEYDOWN, VK_ESCAPE, 0);
        return WaitForWindowGone(menu);
    }

    ScopedAutostart autostart_;
    ScopedPresets presets_;
    std::unique_ptr<RunningProgram> launcher_;
    HWND window_ = nullptr;
};

TEST_F(LauncherTray, RunsOnceWithOneIconInTheTray)
{
    ASSERT_TRUE(StartLauncher());
    EXPECT_TRUE(TrayIconCountBecomes(1));

    EXPECT_EQ(RunLauncher(L""), 0u) << "a second launcher ends at once";
    EXPECT_EQ(RunLauncher(L"/x"), 0u) << "an unknown switch is a normal start";
    EXPECT_EQ(RunLauncher(L"/e /"), 0u) << "a trailing slash drops the end request";
    EXPECT_TRUE(launcher_->IsRunning());
    EXPECT_TRUE(TrayIconCountBecomes(1)) << "never a second icon";
}

TEST_F(LauncherTray, AnIconClickOpensTheMenu)
{
    ASSERT_TRUE(StartLauncher());
    ASSERT_TRUE(TrayIconCountBecomes(1));
    // The launcher's icon is the only one: the rightmost slot. Wine keeps a menu that
    // would reach below the screen at its bottom edge, over the icon: the pointer rests
    // above the tray so that the screenshot shows both.
    RECT tray = {};
    GetWindowRect(TrayWindow(), &tray);
    SetCursorPos(tray.right - 10, tray.top - 130);
    ASSERT_TRUE(SendToTraySlot(0, WM_RBUTTONUP));
    const HWND menu = WaitForPopupMenu(launcher_->ProcessId());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(SaveDesktopScreenshot(L"tray-menu-without-presets"));
    EXPECT_TRUE(CloseMenu(menu));
}

TEST_F(LauncherTray, EndSwitchEndsTheLauncherAndRemovesItsAutostartValue)
{
    for (const wchar_t* form : {L"/e", L"-e", L"/E", L"/ e", L"-E"}) {
        SCOPED_TRACE(testing::Message() << "TALOLauncher " << std::string(form, form + lstrlenW(form)));
        ASSERT_TRUE(ScopedAutostart::Set(L"\"" + ProgramPath(kLauncherProgramFile) + L"\""));
        ASSERT_TRUE(StartLauncher());
        ASSERT_TRUE(TrayIconCountBecomes(1));

        EXPECT_EQ(RunLauncher(form), 0u);
        EXPECT_EQ(ExitCodeOf(*launcher_), 0u) << "the running launcher has ended";
        EXPECT_FALSE(ScopedAutostart::Exists());
        EXPECT_TRUE(TrayIconCountBecomes(0));
    }
}

TEST_F(LauncherTray, EndSwitchWithoutALauncherLeavesTheAutostartValue)
{
    ASSERT_TRUE(ScopedAutostart::Set(L"\"" + ProgramPath(kLauncherProgramFile) + L"\""));
    EXPECT_EQ(RunLauncher(L"/e"), 0u);
    EXPECT_TRUE(ScopedAutostart::Exists());
    EXPECT_EQ(FindWindowW(kLauncherWindowClass, nullptr), nullptr);
}

TEST_F(LauncherTray, TaskbarCreatedBringsTheIconBack)
{
    ASSERT_TRUE(StartLauncher());
    ASSERT_TRUE(TrayIconCountBecomes(1));
    // The icon disappears behind the launcher's back, as when the shell restarts.
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window_;
    icon.uID = 0;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    ASSERT_TRUE(TrayIconCountBecomes(0));

    const UINT taskbarCreated = RegisterWindowMessageW(kTaskbarCreatedMessage);
    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0));
    EXPECT_TRUE(TrayIconCountBecomes(1));
    // With the icon in place, the message replaces it rather than adding a second.
    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0));
    EXPECT_TRUE(TrayIconCountBecomes(1));
    ASSERT_TRUE(SendToTraySlot(0, WM_RBUTTONUP));
    const HWND menu = WaitForPopupMenu(launcher_->ProcessId());
    ASSERT_NE(menu, nullptr) << "the icon is the launcher's";
    EXPECT_TRUE(CloseMenu(menu));
}

TEST_F(LauncherTray, MenuWithoutPresetsHoldsOnlyTheSettingsItemInBold)
{
    ASSERT_TRUE(StartLauncher());
    MenuProbe probe(window_);
    ASSERT_TRUE(probe.Hooked());
    const HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    MenuProbeReport report;
    ASSERT_TRUE(probe.Read(&report));
    ASSERT_EQ(report.count, 1) << "no separator";
    EXPECT_EQ(report.items[0].id, ID_MENU_SETTINGS);
    EXPECT_STREQ(report.items[0].text, L"Airvane Settings...");
    EXPECT_EQ(report.defaultId, ID_MENU_SETTINGS);
    EXPECT_TRUE(report.items[0].state & MFS_DEFAULT) << "drawn bold";
    EXPECT_TRUE(CloseMenu(menu));
    EXPECT_TRUE(probe.Read(&report));
    EXPECT_EQ(report.count, -1) << "the menu is gone";
}

TEST_F(LauncherTray, NoMenuWhileTheSettingsProgramRuns)
{
    ASSERT_TRUE(StartLauncher());
    {
        // The test plays the running settings program.
        const KernelHandle settings(CreateMutexW(nullptr, TRUE, kSettingsInstanceMutex));
        ASSERT_TRUE(settings);
        PostMessageW(window_, TrayCallbackMsg, 0, WM_RBUTTONUP);
        EXPECT_EQ(WaitForPopupMenu(launcher_->ProcessId(), 1500), nullptr);
    }
    const HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    // While the menu is open the launcher holds the settings program's mutex.
    const KernelHandle settings(CreateMutexW(nullptr, TRUE, kSettingsInstanceMutex));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(CloseMenu(menu));
}

// The settings program is started by its quoted path: in a folder with a blank,
// "C:\...\Air vane\TALOSetting.exe" must not start "C:\...\Air.exe".
TEST_F(LauncherTray, StartsTheSettingsProgramByItsQuotedPath)
{
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring root = std::wstring(temp) + L"AirvaneTest " + std::to_wstring(GetCurrentProcessId()) + L"\\";
    const std::wstring folder = root + L"Air vane\\";
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring recorder = PathBesideTest(L"CommandLineRecorder.exe");
    const std::wstring settings = folder + kSettingsProgramFile;
    const std::wstring decoy = root + L"Air.exe";
    const std::vector<std::wstring> files = {folder + kLauncherProgramFile, settings, decoy};
    ASSERT_TRUE(CopyFileW(ProgramPath(kLauncherProgramFile).c_str(), files[0].c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(recorder.c_str(), settings.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(recorder.c_str(), decoy.c_str(), FALSE));

    ASSERT_TRUE(StartLauncher(files[0]));
    PostMessageW(window_, TrayCallbackMsg, 0, WM_LBUTTONDBLCLK);
    const std::wstring record = settings + L".txt";
    for (int i = 0; i < 100 && GetFileAttributesW(record.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        PumpMessagesFor(50);
    PumpMessagesFor(200); // the recorder has closed its file
    std::wstring recorded;
    {
        const KernelHandle file(CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                            nullptr));
        ASSERT_TRUE(file) << "the settings program was not started";
        wchar_t text[1024] = L"";
        DWORD read = 0;
        ReadFile(file.Get(), text, sizeof(text) - sizeof(wchar_t), &read, nullptr);
        recorded.assign(text, read / sizeof(wchar_t));
    }
    EXPECT_EQ(recorded, L"\"" + settings + L"\"\n" + folder.substr(0, folder.size() - 1));
    EXPECT_EQ(GetFileAttributesW((decoy + L".txt").c_str()), INVALID_FILE_ATTRIBUTES) << "Air.exe was started";

    RunLauncher(L"/e");
    ExitCodeOf(*launcher_);
    for (const std::wstring& file : files) {
        DeleteFileW(file.c_str());
        DeleteFileW((file + L".txt").c_str());
    }
    RemoveDirectoryW(folder.c_str());
    RemoveDirectoryW(root.c_str());
}

// Idling is waiting: no timer and no polling, so no processor time.
TEST_F(LauncherTray, IdlesWithoutProcessorTime)
{
    ASSERT_TRUE(StartLauncher());
    PumpMessagesFor(1000); // start-up is over
    auto cpuTime = [&] {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(launcher_->Process(), &created, &exited, &kernel, &user);
        return (ULARGE_INTEGER{{kernel.dwLowDateTime, kernel.dwHighDateTime}}.QuadPart +
                ULARGE_INTEGER{{user.dwLowDateTime, user.dwHighDateTime}}.QuadPart) / 10000;
    };
    const ULONGLONG before = cpuTime();
    PumpMessagesFor(10000);
    const ULONGLONG used = cpuTime() - before;
    RecordProperty("idle_cpu_ms_per_10s", static_cast<int>(used));
    EXPECT_LE(used, 20u) << "milliseconds of processor time in 10 s of idling";
}

} // namespace
