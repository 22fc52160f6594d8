#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/ProgramRunner.h"
#include "automation/RegistrySnapshot.h"
#include "automation/Screenshot.h"
#include "catalog/PresetInForce.h"
#include "catalog/PresetHotkey.h"
#include "catalog/PresetStore.h"
#include "catalog/PresetsChangedMsg.h"
#include "catalog/RuleStore.h"
#include "devices/BtSwCodes.h"
#include "foundation/CcRegistry.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "launcher/LauncherWindow.h"
#include "sim/SimNotebook.h"
#include "tests/launcher/MenuProbe.h"
#include "tests/launcher/ScopedAutostart.h"
#include "tests/launcher/WineTray.h"
#include "tests/service/ServiceEnvironment.h"
#include "tests/support/ScopedDpi.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include <commctrl.h>
#include <dbt.h>
#include <tlhelp32.h>

// End to end: TALOLauncher.exe of the simulated notebook in the session's
// virtual desktop, with its icon in Wine's notification area and the switching
// service running under the prefix's service manager.

namespace {

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new InstalledServiceEnvironment);

constexpr wchar_t kWlanAdapter[] = L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01";
constexpr wchar_t kModemRoot[] = L"USB\\VID_1E0E&PID_9001";

TALO_PRESET Preset(const wchar_t* name, int wlan, int umts)
{
    return PresetOf(name, {DeviceRecord(L"802.11n Wireless LAN Adapter", L"Net", kWlanAdapter, wlan),
                           DeviceRecord(L"UMTS modem", kUmtsClassMarker, kModemRoot, umts),
                           DeviceRecord(L"Bluetooth", kBluetoothClassMarker, kBluetoothClassMarker, 0)});
}

// The number of the simulated device whose first hardware ID begins with the prefix; 0 if none.
DWORD SimDeviceNumber(const std::wstring& prefix)
{
    for (const SimDevice& device : CSimNotebook().Devices()) {
        if (device.hardwareIds.front().compare(0, prefix.size(), prefix) == 0)
            return device.number;
    }
    return 0;
}

bool IsDisabled(DWORD number)
{
    SimDevice device;
    return CSimNotebook().ReadDevice(number, device) && device.Disabled();
}

bool IsBluetoothRadioOn()
{
    for (const SimInterface& radio : CSimNotebook().Interfaces()) {
        if (IsEqualGUID(radio.interfaceGuid, GUID_BTSW_RADIO) && radio.present)
            return true;
    }
    return false;
}

// Stores the presets as the settings program does (and tells a running launcher):
// preset i switches the WLAN adapter on when bit 0 of i is set and the modem when bit 1
// is, and the Bluetooth radio off.
bool SavePresetsNamed(std::initializer_list<const wchar_t*> names)
{
    TaloPresetList presets;
    int i = 0;
    for (const wchar_t* name : names) {
        TALO_PRESET preset = Preset(name, i % 2, i / 2 % 2);
        presets.SetAtGrow(i++, preset);
    }
    return SavePresets(presets) == 1;
}

// Stores presets made by Preset(name, wlan, umts) with their shortcut keys.
struct KeyedPreset {
    const wchar_t* name;
    int wlan;
    int umts;
    WORD hotkey;
};

bool SaveKeyedPresets(std::initializer_list<KeyedPreset> rows)
{
    TaloPresetList presets;
    for (const KeyedPreset& row : rows) {
        TALO_PRESET preset = Preset(row.name, row.wlan, row.umts);
        preset.Hotkey = row.hotkey;
        presets.SetAtGrow(presets.GetSize(), preset);
    }
    return SavePresets(presets) == 1;
}

constexpr WORD kCtrlAltO = MAKEWORD('O', HOTKEYF_CONTROL | HOTKEYF_ALT);
constexpr WORD kCtrlShiftF7 = MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_SHIFT);

// Presses the keys as a person would, through the system's keyboard input: each
// down in order, then each up in reverse order.
bool PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// The visible balloon of the tray (the shell's tooltip window) whose text holds every part, waited for.
HWND WaitForBalloon(std::initializer_list<std::wstring> parts, DWORD timeoutMs = kGuiTimeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 100) {
        for (HWND window = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); window;
             window = FindWindowExW(nullptr, window, TOOLTIPS_CLASSW, nullptr)) {
            const std::wstring text = WindowText(window);
            bool holdsAll = IsWindowVisible(window) != FALSE;
            for (const std::wstring& part : parts)
                holdsAll = holdsAll && text.find(part) != std::wstring::npos;
            if (holdsAll)
                return window;
        }
        PumpMessagesFor(100);
    }
    return nullptr;
}

constexpr DWORD kEndTimeoutMs = 10000;
constexpr DWORD kNoExit = 0xFFFFFFFF;
constexpr UINT kMarkerId = 77;

DWORD ExitCodeOf(RunningProgram& program, DWORD timeoutMs = kEndTimeoutMs)
{
    DWORD exitCode = kNoExit;
    return program.WaitForExit(&exitCode, timeoutMs) ? exitCode : kNoExit;
}

// A window of the class that the process has (also hidden), waited for.
HWND WaitForWindowOf(DWORD processId, const wchar_t* className, DWORD timeoutMs = kGuiTimeoutMs)
{
    WindowQuery query;
    query.processId = processId;
    query.className = className;
    query.visibleOnly = false;
    return WaitForTopLevelWindow(query, timeoutMs);
}

// The open popup menu of the process, waited for.
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
    static void SetUpTestSuite() { RegisterPresetsChangedMsg(); }

    void SetUp() override
    {
        ASSERT_TRUE(InstalledServiceEnvironment::Installed()) << "sc create / net start failed";
        CSimNotebook notebook;
        ASSERT_EQ(SeedDemoNotebook(notebook), 1);
        ASSERT_EQ(FindWindowW(kLauncherWindowClass, nullptr), nullptr) << "a launcher runs already";
        presets_.Remove();
        deviceList_.Remove();
        // A preset in force that an earlier test applied would be re-applied at the launcher's start.
        ClearInForce();
    }

    void TearDown() override
    {
        EndLauncher();
        EndSettingsPrograms();
        ClearInForce();
    }

    static void ClearInForce()
    {
        ForgetPresetInForce();
        CcRegistry product;
        if (product.OpenKey(kProductKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS)) {
            product.DeleteValue(kKeepAppliedValue);
            product.DeleteValue(kReapplyNoticeValue);
        }
    }

    // Ends the started launcher with the end switch.
    void EndLauncher()
    {
        if (launcher_ && launcher_->IsRunning()) {
            RunLauncher(L"/e");
            launcher_->WaitForExit(nullptr, kEndTimeoutMs);
        }
    }

    // A settings program that a failed test left waiting (at a message box, say) would
    // wait for ever once the service is gone.
    static void EndSettingsPrograms()
    {
        for (const DWORD processId : SettingsPrograms()) {
            const KernelHandle settings(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
            ADD_FAILURE() << "a settings program was left running";
            TerminateProcess(settings.Get(), 1);
            WaitForSingleObject(settings.Get(), kEndTimeoutMs);
        }
    }

    // The processes of settings programs that run now.
    static std::vector<DWORD> SettingsPrograms()
    {
        std::vector<DWORD> found;
        const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
             more = Process32NextW(snapshot.Get(), &entry)) {
            if (lstrcmpiW(entry.szExeFile, kSettingsProgramFile) == 0)
                found.push_back(entry.th32ProcessID);
        }
        return found;
    }

    // Waits until no settings program runs (the one a menu item started has ended).
    static bool NoSettingsProgramWithin(DWORD timeoutMs)
    {
        for (DWORD waited = 0; !SettingsPrograms().empty(); waited += 100) {
            if (waited >= timeoutMs)
                return false;
            PumpMessagesFor(100);
        }
        return true;
    }

    // Starts the launcher and waits for its window.
    HWND StartLauncher(const std::wstring& path = ProgramPath(kLauncherProgramFile))
    {
        launcher_ = std::make_unique<RunningProgram>(path, L"");
        if (!launcher_->Started())
            return nullptr;
        window_ = WaitForWindowOf(launcher_->ProcessId(), kLauncherWindowClass);
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

    // The items of the menu opened now, as the probe read them ("-" for a separator).
    std::vector<std::wstring> MenuTexts(MenuProbe& probe)
    {
        std::vector<std::wstring> texts;
        const HWND menu = OpenMenu();
        MenuProbeReport report;
        if (menu && probe.Read(&report)) {
            for (int i = 0; i < report.count; ++i)
                texts.push_back(report.items[i].type & MFT_SEPARATOR ? L"-" : report.items[i].text);
        }
        CloseMenu(menu);
        return texts;
    }

    ScopedAutostart autostart_;
    RegistrySnapshot presets_{HKEY_CURRENT_USER, std::wstring(kProductKey) + L"\\" + kSettingSubKey};
    RegistrySnapshot deviceList_{HKEY_LOCAL_MACHINE, kDeviceListKey};
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

// The Restart Manager of an update or removal closes the launcher with the end-session messages
// (ENDSESSION_CLOSEAPP), a person or a tool with WM_CLOSE: it ends at once, takes its icon
// along and, unlike /e, keeps the autostart value.
TEST_F(LauncherTray, EndsCleanlyOnEndSessionAndOnClose)
{
    for (const bool endSession : {true, false}) {
        SCOPED_TRACE(endSession ? "WM_QUERYENDSESSION, WM_ENDSESSION" : "WM_CLOSE");
        ASSERT_TRUE(ScopedAutostart::Set(L"\"" + ProgramPath(kLauncherProgramFile) + L"\""));
        ASSERT_TRUE(StartLauncher());
        ASSERT_TRUE(TrayIconCountBecomes(1));

        if (endSession) {
            DWORD_PTR agrees = FALSE;
            ASSERT_TRUE(SendMessageTimeoutW(window_, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_BLOCK, 5000,
                                            &agrees));
            EXPECT_TRUE(agrees);
            SendMessageTimeoutW(window_, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_BLOCK, 5000, nullptr);
        } else {
            PostMessageW(window_, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(ExitCodeOf(*launcher_), 0u);
        EXPECT_TRUE(TrayIconCountBecomes(0));
        EXPECT_TRUE(ScopedAutostart::Exists());
    }
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

TEST_F(LauncherTray, MenuListsEveryPresetInOrderBelowTheSettingsItem)
{
    ASSERT_TRUE(SavePresetsNamed({L"Office", L"Travel", L"Flight"}));
    ASSERT_TRUE(StartLauncher());
    MenuProbe probe(window_);
    ASSERT_TRUE(probe.Hooked());
    ASSERT_TRUE(TrayIconCountBecomes(1));
    // A right click on the icon: the only one, in the rightmost slot. Wine keeps a menu
    // that would reach below the screen at its bottom edge, over the icon: the pointer
    // rests above the tray so that the screenshot shows both.
    RECT tray = {};
    GetWindowRect(TrayWindow(), &tray);
    SetCursorPos(tray.right - 10, tray.top - 130);
    ASSERT_TRUE(SendToTraySlot(0, WM_RBUTTONUP));
    const HWND menu = WaitForPopupMenu(launcher_->ProcessId());
    ASSERT_NE(menu, nullptr);
    MenuProbeReport report;
    ASSERT_TRUE(probe.Read(&report));
    ASSERT_EQ(report.count, 5);
    EXPECT_EQ(report.defaultId, ID_MENU_SETTINGS);
    const struct {
        UINT id;
        bool separator;
        const wchar_t* text;
    } expected[] = {{ID_MENU_SETTINGS, false, L"Airvane Settings..."},
                    {0, true, L""},
                    {ID_MENU_PRESET_BASE, false, L"Office"},
                    {ID_MENU_PRESET_BASE + 1, false, L"Travel"},
                    {ID_MENU_PRESET_BASE + 2, false, L"Flight"}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        if (!expected[i].separator) {
            EXPECT_EQ(report.items[i].id, expected[i].id);
        }
        EXPECT_EQ((report.items[i].type & MFT_SEPARATOR) != 0, expected[i].separator);
        EXPECT_STREQ(report.items[i].text, expected[i].text);
        EXPECT_EQ((report.items[i].state & MFS_DEFAULT) != 0, i == 0) << "only the settings item is bold";
    }
    EXPECT_TRUE(SaveDesktopScreenshot(L"tray-menu"));
    EXPECT_TRUE(CloseMenu(menu));
}

// The icon in the tray at 100 and 150 %, for people to look at: the launcher
// loads the image of the small-icon size of its DPI (16 and 24 pixels).
TEST_F(LauncherTray, IconInTheTrayAt100And150Percent)
{
    for (const int percent : {100, 150}) {
        SCOPED_TRACE(percent);
        const ScopedDpi scale(static_cast<DWORD>(percent * 96 / 100));
        ASSERT_TRUE(scale.Applied());
        ASSERT_TRUE(StartLauncher());
        ASSERT_TRUE(TrayIconCountBecomes(1));
        EXPECT_TRUE(SaveDesktopScreenshot(L"tray-icon-" + std::to_wstring(percent)));
        EndLauncher();
        ASSERT_TRUE(TrayIconCountBecomes(0));
    }
}

// The road of one preset: a right click on the icon, the third preset chosen in the
// menu, the settings program started with /p2, its progress notice shown and gone,
// and the devices switched by the service as that preset says.
TEST_F(LauncherTray, TheThirdPresetChosenInTheMenuIsApplied)
{
    // The third preset: WLAN off, the modem on, the Bluetooth radio off.
    ASSERT_TRUE(SavePresetsNamed({L"Office", L"Travel", L"Flight"}));
    const DWORD wlan = SimDeviceNumber(kWlanAdapter);
    const DWORD modem = SimDeviceNumber(kModemRoot);
    ASSERT_TRUE(wlan && modem);
    CSimNotebook notebook;
    ASSERT_TRUE(notebook.SetDisabled(modem, true, false));
    // The radio takes its time to go, so that the notice stays long enough to be seen.
    ASSERT_TRUE(notebook.SetBluetoothSwitch(1500, false));
    ASSERT_TRUE(IsBluetoothRadioOn());
    ASSERT_TRUE(StartLauncher());
    ASSERT_TRUE(TrayIconCountBecomes(1));
    // The menu opens at the pointer, which then rests on its frame, over no item.
    SetCursorPos(200, 200);
    ASSERT_TRUE(SendToTraySlot(0, WM_RBUTTONUP));
    const HWND menu = WaitForPopupMenu(launcher_->ProcessId());
    ASSERT_NE(menu, nullptr);

    // As a person would with the keys: Home selects the settings item, whatever the
    // pointer selected, and Down the presets below the separator.
    PostMessageW(window_, WM_KEYDOWN, VK_HOME, 0);
    for (int i = 0; i < 3; ++i)
        PostMessageW(window_, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(window_, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitForWindowGone(menu));

    WindowQuery notice;
    notice.title = L"Airvane - Switching Devices";
    const HWND progress = WaitForTopLevelWindow(notice);
    ASSERT_NE(progress, nullptr) << "no progress notice";
    wchar_t program[MAX_PATH] = L"";
    DWORD processId = 0;
    GetWindowThreadProcessId(progress, &processId);
    const KernelHandle settings(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
    DWORD chars = MAX_PATH;
    ASSERT_TRUE(settings && QueryFullProcessImageNameW(settings.Get(), 0, program, &chars));
    EXPECT_EQ(std::wstring(program), ProgramPath(kSettingsProgramFile));
    EXPECT_TRUE(WaitForWindowGone(progress));
    EXPECT_EQ(WaitForSingleObject(settings.Get(), kEndTimeoutMs), WAIT_OBJECT_0) << "the settings program ends";

    EXPECT_TRUE(IsDisabled(wlan));
    EXPECT_FALSE(IsDisabled(modem));
    EXPECT_FALSE(IsBluetoothRadioOn());
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

// What a CommandLineRecorder.exe started as path wrote: its command line and its
// folder, on two lines. Waits for the record and removes it; empty when none came.
std::wstring TakeRecord(const std::wstring& path, DWORD timeoutMs = 5000)
{
    const std::wstring record = path + L".txt";
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        // The recorder opens its record without sharing: it can be read once it is written.
        KernelHandle file(CreateFileW(record.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (file) {
            wchar_t text[1024] = L"";
            DWORD read = 0;
            ReadFile(file.Get(), text, sizeof(text) - sizeof(wchar_t), &read, nullptr);
            file.Reset();
            DeleteFileW(record.c_str());
            return std::wstring(text, read / sizeof(wchar_t));
        }
        PumpMessagesFor(50);
    }
    return std::wstring();
}

// A launcher copy in "<temp>\AirvaneTest <pid>\Air vane\" beside a recording stand-in for the
// settings program, and a recording "Air.exe" one folder up that an unquoted start would run.
class LauncherInFolderWithBlank {
public:
    LauncherInFolderWithBlank()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"AirvaneTest " + std::to_wstring(GetCurrentProcessId()) + L"\\";
        folder_ = root_ + L"Air vane\\";
        const std::wstring recorder = PathBesideTest(L"CommandLineRecorder.exe");
        ready_ = CreateDirectoryW(root_.c_str(), nullptr) && CreateDirectoryW(folder_.c_str(), nullptr) &&
                 CopyFileW(ProgramPath(kLauncherProgramFile).c_str(), Launcher().c_str(), FALSE) &&
                 CopyFileW(recorder.c_str(), Settings().c_str(), FALSE) &&
                 CopyFileW(recorder.c_str(), Decoy().c_str(), FALSE);
    }
    ~LauncherInFolderWithBlank()
    {
        for (const std::wstring& file : {Launcher(), Settings(), Decoy()}) {
            DeleteFileW(file.c_str());
            DeleteFileW((file + L".txt").c_str());
        }
        RemoveDirectoryW(folder_.c_str());
        RemoveDirectoryW(root_.c_str());
    }

    bool Ready() const { return ready_; }
    const std::wstring& Folder() const { return folder_; }
    std::wstring Launcher() const { return folder_ + kLauncherProgramFile; }
    std::wstring Settings() const { return folder_ + kSettingsProgramFile; }
    std::wstring Decoy() const { return root_ + L"Air.exe"; }

private:
    std::wstring root_;
    std::wstring folder_;
    bool ready_ = false;
};

// The settings program is started by its quoted path: in a folder with a blank,
// "C:\...\Air vane\TALOSetting.exe" must not start "C:\...\Air.exe".
TEST_F(LauncherTray, StartsTheSettingsProgramByItsQuotedPath)
{
    ASSERT_TRUE(SavePresetsNamed({L"Office", L"Travel", L"Flight"}));
    LauncherInFolderWithBlank copy;
    ASSERT_TRUE(copy.Ready());
    ASSERT_TRUE(StartLauncher(copy.Launcher()));
    const std::wstring folder = copy.Folder().substr(0, copy.Folder().size() - 1);
    const std::wstring quoted = L"\"" + copy.Settings() + L"\"";

    PostMessageW(window_, TrayCallbackMsg, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(TakeRecord(copy.Settings()), quoted + L"\n" + folder);
    PostMessageW(window_, WM_COMMAND, ID_MENU_PRESET_BASE + 2, 0);
    EXPECT_EQ(TakeRecord(copy.Settings()), quoted + L" /p2\n" + folder) << "the third preset";
    PostMessageW(window_, WM_COMMAND, ID_MENU_PRESET_BASE + 3, 0);
    EXPECT_EQ(TakeRecord(copy.Settings(), 1000), L"") << "there is no fourth preset";
    EXPECT_EQ(TakeRecord(copy.Decoy(), 0), L"") << "Air.exe was started";
    EndLauncher(); // its copy can be removed only then
}

// The launcher reads the presets again whenever the settings program has saved them.
TEST_F(LauncherTray, APresetSavedWhileItRunsShowsInTheNextMenu)
{
    ASSERT_TRUE(SavePresetsNamed({L"Office"}));
    ASSERT_TRUE(StartLauncher());
    MenuProbe probe(window_);
    ASSERT_TRUE(probe.Hooked());
    using Texts = std::vector<std::wstring>;
    EXPECT_EQ(MenuTexts(probe), Texts({L"Airvane Settings...", L"-", L"Office"}));

    ASSERT_TRUE(SavePresetsNamed({L"Office", L"Home"}));
    PumpMessagesFor(300); // the notice is posted
    EXPECT_EQ(MenuTexts(probe), Texts({L"Airvane Settings...", L"-", L"Office", L"Home"}));

    ASSERT_TRUE(SavePresetsNamed({}));
    PumpMessagesFor(300);
    EXPECT_EQ(MenuTexts(probe), Texts({L"Airvane Settings..."}));
}

// A preset the administrator sets while the launcher runs, under a policy key that did
// not exist when it started, reaches the next menu after the user's (a policy preset
// applies by its number like any other); removed, it leaves the menu. Keys come before
// their values and go before their parents, each a moment apart, as a policy refresh
// may write them; the machine's policy comes back after it went.
TEST_F(LauncherTray, APolicyPresetSetWhileItRunsShowsInTheMenuUntilRemoved)
{
    constexpr wchar_t kMakersPolicyKey[] = L"SOFTWARE\\Policies\\Korvath";
    const std::wstring presetsKey = std::wstring(kPolicyKey) + L"\\Presets";
    const ScopedPolicy policy;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kMakersPolicyKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kMakersPolicyKey);
    ASSERT_TRUE(SavePresetsNamed({L"Office"}));
    ASSERT_TRUE(StartLauncher());
    MenuProbe probe(window_);
    ASSERT_TRUE(probe.Hooked());
    using Texts = std::vector<std::wstring>;
    const Texts withoutFleet = {L"Airvane Settings...", L"-", L"Office"};
    EXPECT_EQ(MenuTexts(probe), withoutFleet);

    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        SCOPED_TRACE(root == HKEY_LOCAL_MACHINE ? "machine" : "user");
        RegKey made;
        ASSERT_EQ(RegCreateKeyExW(root, (presetsKey + L"\\Preset0").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  made.Put(), nullptr),
                  ERROR_SUCCESS);
        PumpMessagesFor(300);
        ASSERT_TRUE(policy.StorePreset(root, 0, L"Fleet", {{L"802.11n Wireless LAN Adapter", L"Net", kWlanAdapter, 0}}));
        PumpMessagesFor(300);
        ASSERT_EQ(MenuTexts(probe), Texts({L"Airvane Settings...", L"-", L"Office", L"Fleet"}));

        made.Reset();
        ASSERT_EQ(RegDeleteTreeW(root, presetsKey.c_str()), ERROR_SUCCESS);
        PumpMessagesFor(300);
        EXPECT_EQ(MenuTexts(probe), withoutFleet);
        ASSERT_EQ(RegDeleteTreeW(root, kMakersPolicyKey), ERROR_SUCCESS);
        PumpMessagesFor(300);
    }
}

// Each preset's shortcut key stands beside its name, where menus show keys.
TEST_F(LauncherTray, MenuShowsEachPresetsShortcutKey)
{
    ASSERT_TRUE(SaveKeyedPresets({{L"Office", 1, 0, kCtrlAltO}, {L"Travel", 0, 1, 0}, {L"Flight", 0, 0, kCtrlShiftF7}}));
    ASSERT_TRUE(StartLauncher());
    MenuProbe probe(window_);
    ASSERT_TRUE(probe.Hooked());
    const HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    MenuProbeReport report;
    ASSERT_TRUE(probe.Read(&report));
    ASSERT_EQ(report.count, 5);
    EXPECT_STREQ(report.items[2].text, L"Office\tCtrl+Alt+O");
    EXPECT_STREQ(report.items[3].text, L"Travel");
    EXPECT_STREQ(report.items[4].text, L"Flight\tCtrl+Shift+F7");
    EXPECT_TRUE(CloseMenu(menu));
}

// A key that another program holds is named in a balloon of the icon. Once the
// other program has let it go, the next save of the presets registers it, and the
// key pressed on the keyboard applies its preset as the menu does: the settings
// program with its notice.
TEST_F(LauncherTray, AKeyHeldElsewhereIsNamedThenAppliesItsPresetOnceFree)
{
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'O')) << "the other program";
    const std::initializer_list<KeyedPreset> presets = {{L"Office", 1, 0, 0}, {L"Travel", 0, 1, kCtrlAltO}};
    ASSERT_TRUE(SaveKeyedPresets(presets));
    ASSERT_TRUE(StartLauncher());
    const HWND balloon = WaitForBalloon({L"Travel", L"Ctrl+Alt+O"});
    EXPECT_NE(balloon, nullptr) << "no notice names the preset and its key";
    EXPECT_TRUE(SaveDesktopScreenshot(L"hotkey-taken-notice"));
    UnregisterHotKey(nullptr, 1);

    const DWORD wlan = SimDeviceNumber(kWlanAdapter);
    const DWORD modem = SimDeviceNumber(kModemRoot);
    ASSERT_TRUE(wlan && modem);
    CSimNotebook notebook;
    ASSERT_TRUE(notebook.SetDisabled(modem, true, false));
    ASSERT_TRUE(notebook.SetBluetoothSwitch(1500, false)); // the notice stays long enough to be seen
    ASSERT_TRUE(SaveKeyedPresets(presets));
    PumpMessagesFor(300); // the launcher registers the keys again
    ASSERT_TRUE(PressKeys({VK_CONTROL, VK_MENU, 'O'}));

    WindowQuery notice;
    notice.title = L"Airvane - Switching Devices";
    const HWND progress = WaitForTopLevelWindow(notice);
    ASSERT_NE(progress, nullptr) << "the key started no settings program";
    DWORD processId = 0;
    GetWindowThreadProcessId(progress, &processId);
    const KernelHandle settings(OpenProcess(SYNCHRONIZE, FALSE, processId));
    ASSERT_TRUE(settings);
    EXPECT_EQ(WaitForSingleObject(settings.Get(), kEndTimeoutMs), WAIT_OBJECT_0) << "the settings program ends";
    EXPECT_TRUE(IsDisabled(wlan));
    EXPECT_FALSE(IsDisabled(modem));
    EXPECT_FALSE(IsBluetoothRadioOn());
}

// Autostart 0 set by policy while the launcher runs ends it (the launcher watches the
// policy keys), and keeps it from starting again; the user's autostart value goes.
TEST_F(LauncherTray, AutostartPolicyZeroEndsTheLauncherAndKeepsItFromStarting)
{
    const ScopedPolicy policy;
    ASSERT_TRUE(StartLauncher());
    ASSERT_TRUE(TrayIconCountBecomes(1));
    ASSERT_TRUE(ScopedAutostart::Set(L"\"" + ProgramPath(kLauncherProgramFile) + L"\""));

    ASSERT_TRUE(policy.SetDWord(HKEY_LOCAL_MACHINE, L"Autostart", 0));
    EXPECT_EQ(ExitCodeOf(*launcher_), 0u) << "Autostart 0 did not end the launcher";
    EXPECT_TRUE(TrayIconCountBecomes(0));
    EXPECT_EQ(RunLauncher(L""), 0u);
    EXPECT_EQ(FindWindowW(kLauncherWindowClass, nullptr), nullptr) << "a launcher started under Autostart 0";
    EXPECT_FALSE(ScopedAutostart::Exists());
}

// The catalog built while the window is created registers the WLAN adapter it
// finds with the service, which writes the machine-wide device list.
TEST_F(LauncherTray, RegistersANewWlanAdapterAtStart)
{
    ASSERT_TRUE(StartLauncher());
    CcRegistry list;
    DWORD count = 0;
    for (int i = 0; i < 100 && count == 0; ++i) {
        if (list.IsOpen() || list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ))
            count = list.GetDWord(kDeviceNumValue, 0, 0);
        if (count == 0)
            PumpMessagesFor(50);
    }
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(list.GetString(L"0_HwId", L"", 0), kWlanAdapter);
    EXPECT_STREQ(list.GetString(L"0_Class", L"", 0), L"Net");
    EXPECT_STREQ(list.GetString(L"0_DeviceName", L"", 0), L"802.11n Wireless LAN Adapter");
    list.CloseKey();

    // A second launcher start finds it registered: nothing is added.
    ASSERT_TRUE(RunLauncher(L"/e") == 0 && ExitCodeOf(*launcher_) == 0);
    ASSERT_TRUE(StartLauncher());
    PumpMessagesFor(500);
    ASSERT_TRUE(list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ));
    EXPECT_EQ(list.GetDWord(kDeviceNumValue, 0, 0), 1u);
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

// Keeping the preset in force applied, on a notebook of today: the WLAN adapter
// comes back on behind Airvane's back (as a driver reset does) and the launcher
// switches it off again, once per trigger, with a balloon.
constexpr DWORD kModernWlan = 1;
constexpr wchar_t kModernWlanHwId[] = L"PCI\\VEN_8086&DEV_A0F0&SUBSYS_00748086&REV_20";
constexpr DWORD kReapplyWaitMs = 15000;
constexpr DWORD kQuietPeriodMs = 4000; // debounce, settings program and margin

class KeptPreset : public LauncherTray {
protected:
    void SetUp() override
    {
        LauncherTray::SetUp();
        CSimNotebook notebook;
        ASSERT_EQ(SeedModernNotebook(notebook), 1);
        ASSERT_TRUE(notebook.SetLatency(kModernWlan, 0));
        TaloPresetList presets;
        TALO_PRESET travel = PresetOf(L"Travel", {DeviceRecord(L"Wi-Fi", L"Net", kModernWlanHwId, 0)});
        presets.SetAtGrow(0, travel);
        ASSERT_EQ(SavePresets(presets), 1);
        RunningProgram apply(ProgramPath(kSettingsProgramFile), L" /p0");
        ASSERT_EQ(ExitCodeOf(apply), 0u);
        ASSERT_TRUE(IsDisabled(kModernWlan));
        ASSERT_EQ(ReadPresetInForce().number, 0);
        ASSERT_TRUE(notebook.ClearInstallerCalls());
    }

    // The adapter enabled as a driver would, without a broadcast.
    static void EnableBehindTheBack() { ASSERT_TRUE(CSimNotebook().SetDisabled(kModernWlan, false, false)); }

    static DWORD RunSim(const std::wstring& arguments)
    {
        RunningProgram sim(ProgramPath(L"AirvaneSim.exe"), L" " + arguments);
        return ExitCodeOf(sim);
    }

    static testing::AssertionResult WlanOffWithin(DWORD timeoutMs)
    {
        for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
            if (IsDisabled(kModernWlan))
                return testing::AssertionSuccess();
            PumpMessagesFor(100);
        }
        return testing::AssertionFailure() << "the adapter stayed on";
    }

    // The class installer's switches since the last call, as "1 disable ok".
    static std::vector<std::wstring> TakeSwitches()
    {
        CSimNotebook notebook;
        std::vector<std::wstring> lines;
        for (const SimInstallerCall& call : notebook.InstallerCalls())
            lines.push_back(std::to_wstring(call.device) + (call.enable ? L" enable " : L" disable ") + call.outcome);
        notebook.ClearInstallerCalls();
        return lines;
    }
};

TEST_F(KeptPreset, ResumeDeviceChangeAndLogOnEachRestoreThePresetOnce)
{
    ASSERT_TRUE(StartLauncher());
    ASSERT_TRUE(TrayIconCountBecomes(1));
    PumpMessagesFor(kQuietPeriodMs);
    EXPECT_EQ(std::vector<std::wstring>(), TakeSwitches()) << "at start nothing differed";

    struct Trigger {
        const char* name;
        std::wstring simArguments; // empty: the launcher is started afresh
    };
    const Trigger triggers[] = {{"resume", L"resume"}, {"device change", L"set 1 enabled"}, {"log-on", L""}};
    for (const Trigger& trigger : triggers) {
        SCOPED_TRACE(trigger.name);
        PumpMessagesFor(kQuietPeriodMs); // past the last re-apply's own changes
        if (trigger.simArguments.empty()) {
            EndLauncher();
            EnableBehindTheBack();
            ASSERT_TRUE(StartLauncher());
        } else {
            if (trigger.simArguments == L"resume")
                EnableBehindTheBack();
            ASSERT_EQ(RunSim(trigger.simArguments), 0u);
        }
        EXPECT_TRUE(WlanOffWithin(kReapplyWaitMs));
        const HWND balloon = WaitForBalloon({}, kReapplyWaitMs);
        EXPECT_NE(balloon, nullptr) << "no balloon";
        if (balloon && trigger.simArguments == L"resume") {
            EXPECT_TRUE(SaveDesktopScreenshot(L"balloon-en"));
        }
        PumpMessagesFor(kQuietPeriodMs);
        EXPECT_EQ(std::vector<std::wstring>{L"1 disable ok"}, TakeSwitches()) << "once";
    }

    // Nothing differs: a trigger switches nothing.
    ASSERT_EQ(RunSim(L"resume"), 0u);
    PumpMessagesFor(kQuietPeriodMs);
    EXPECT_EQ(std::vector<std::wstring>(), TakeSwitches());
    EXPECT_EQ(ReadPresetInForce().number, 0);
}

// The launcher and the settings program in a folder of their own whose texts are
// the shipped Japanese ones, as on a Japanese system.
class JapaneseInstall {
public:
    JapaneseInstall()
    {
        const std::wstring texts = std::wstring(L"Japanese\\") + kTextFile;
        ready_ = CopyFileW(ProgramPath(kLauncherProgramFile).c_str(), Launcher().c_str(), FALSE) &&
                 CopyFileW(ProgramPath(kSettingsProgramFile).c_str(), Settings().c_str(), FALSE) &&
                 folder_.WriteTextFile(kLanguageIniFile, L"[Folder]\nDefault=Japanese\n") &&
                 folder_.CreateFolder(L"Japanese") &&
                 CopyFileW(ProgramPath(texts.c_str()).c_str(), (folder_.Path() + texts).c_str(), FALSE);
    }

    bool Ready() const { return ready_; }
    std::wstring Launcher() const { return folder_.Path() + kLauncherProgramFile; }
    std::wstring Settings() const { return folder_.Path() + kSettingsProgramFile; }

private:
    TempFolder folder_;
    bool ready_ = false;
};

// The quiet re-apply writes its notice in the user's language, and the launcher
// beside it shows that as its balloon.
TEST_F(KeptPreset, AJapaneseInstallReappliesWithAJapaneseBalloon)
{
    const JapaneseInstall install;
    ASSERT_TRUE(install.Ready());
    EnableBehindTheBack();
    RunningProgram quiet(install.Settings(), L" /p0 /Q");
    EXPECT_EQ(ExitCodeOf(quiet), static_cast<DWORD>(kReapplyChanged));
    // "Travel applied again: Wi-Fi off"
    EXPECT_STREQ(TakeReapplyNotice().GetString(),
                 L"Travel \u3092\u518D\u9069\u7528\u3057\u307E\u3057\u305F: Wi-Fi \u30AA\u30D5");
    EXPECT_TRUE(IsDisabled(kModernWlan));

    ASSERT_TRUE(StartLauncher(install.Launcher()));
    ASSERT_TRUE(TrayIconCountBecomes(1));
    PumpMessagesFor(kQuietPeriodMs);
    EnableBehindTheBack();
    ASSERT_EQ(RunSim(L"resume"), 0u);
    EXPECT_TRUE(WlanOffWithin(kReapplyWaitMs));
    const HWND balloon = WaitForBalloon({}, kReapplyWaitMs);
    EXPECT_NE(balloon, nullptr) << "no balloon";
    if (balloon)
        EXPECT_TRUE(SaveDesktopScreenshot(L"balloon-ja"));
    // The launcher ends before the folder goes.
    EndLauncher();
}

// Keeping follows the KeepApplied policy over the user's box, read at each trigger of the
// running launcher; off, or on with a preset renumbered since, nothing is re-applied.
TEST_F(KeptPreset, KeepingFollowsThePolicyOverTheUsersBoxAndARenumberedPresetIsForgotten)
{
    constexpr DWORD kNoPolicy = 0xFFFFFFFF;
    const ScopedPolicy policy;
    ASSERT_TRUE(StartLauncher());
    PumpMessagesFor(kQuietPeriodMs);
    const struct {
        DWORD policy;
        bool userKeeps;
        bool reapplied;
    } rows[] = {{kNoPolicy, false, false}, {0, true, false}, {1, false, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "policy " << row.policy << ", user's box " << row.userKeeps);
        if (row.policy != kNoPolicy) {
            ASSERT_TRUE(policy.SetDWord(HKEY_LOCAL_MACHINE, kKeepAppliedPolicy, row.policy));
        }
        SetKeepsPresetApplied(row.userKeeps);
        PumpMessagesFor(300); // the launcher takes the policy's change
        EnableBehindTheBack();
        ASSERT_EQ(RunSim(L"resume"), 0u);
        if (row.reapplied) {
            EXPECT_TRUE(WlanOffWithin(kReapplyWaitMs));
        }
        PumpMessagesFor(kQuietPeriodMs);
        EXPECT_EQ(row.reapplied, IsDisabled(kModernWlan));
    }

    // Keeping on again, but preset 0 now has another name: forgotten, not applied.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, kKeepAppliedPolicy));
    SetKeepsPresetApplied(true);
    EnableBehindTheBack();
    TakeSwitches();
    ASSERT_TRUE(SavePresetsNamed({L"Office"}));
    ASSERT_EQ(RunSim(L"resume"), 0u);
    PumpMessagesFor(kQuietPeriodMs);
    EXPECT_FALSE(IsDisabled(kModernWlan));
    EXPECT_EQ(ReadPresetInForce().number, -1);
    EXPECT_EQ(std::vector<std::wstring>(), TakeSwitches());
}

TEST_F(KeptPreset, ASwitchOfADeviceTypeEndsThePresetInForce)
{
    RunningProgram wlanOn(ProgramPath(kSettingsProgramFile), L" WLAN=ON /Q");
    ASSERT_EQ(ExitCodeOf(wlanOn), 0u);
    EXPECT_EQ(ReadPresetInForce().number, -1);
    ASSERT_TRUE(StartLauncher());
    PumpMessagesFor(kQuietPeriodMs);
    EXPECT_FALSE(IsDisabled(kModernWlan)) << "what the user did last wins";
}

// A preset chosen in the menu switches a device, and the system answers with
// device changes while the settings program runs and just after it: they are
// the chosen preset's own and start no re-apply.
TEST_F(KeptPreset, DeviceChangesOfAPresetChosenInTheMenuStartNoReapply)
{
    ASSERT_TRUE(StartLauncher());
    ASSERT_TRUE(TrayIconCountBecomes(1));
    PumpMessagesFor(kQuietPeriodMs);
    EnableBehindTheBack();
    const HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    PostMessageW(window_, WM_KEYDOWN, VK_HOME, 0);
    PostMessageW(window_, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(window_, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitForWindowGone(menu));

    // Every settings program the launcher starts, until the quiet period after the
    // chosen one's end; the device changes as Windows sends them for its switch.
    std::set<DWORD> started;
    bool switchSeen = false;
    ULONGLONG endedAt = 0;
    const ULONGLONG deadline = GetTickCount64() + kReapplyWaitMs;
    while (GetTickCount64() < deadline && (endedAt == 0 || GetTickCount64() < endedAt + kQuietPeriodMs)) {
        const std::vector<DWORD> running = SettingsPrograms();
        started.insert(running.begin(), running.end());
        if (!switchSeen && IsDisabled(kModernWlan)) {
            switchSeen = true;
            PostMessageW(window_, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        }
        if (switchSeen && endedAt == 0 && !started.empty() && running.empty()) {
            endedAt = GetTickCount64();
            PostMessageW(window_, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        }
        PumpMessagesFor(5);
    }
    EXPECT_TRUE(switchSeen) << "the chosen preset switched the adapter off";
    EXPECT_NE(endedAt, 0u) << "the chosen preset's settings program ended";
    EXPECT_EQ(started.size(), 1u) << "settings programs started: the chosen one, and no re-apply";
    EXPECT_EQ(std::vector<std::wstring>{L"1 disable ok"}, TakeSwitches());
}


// Rules on the modern notebook: "Office" switches the WLAN off, "Travel" on.
class RulePresets : public KeptPreset {
protected:
    void SetUp() override
    {
        KeptPreset::SetUp();
        ClearInForce();
        RegDeleteTreeW(HKEY_CURRENT_USER, kRulesKey);
        TaloPresetList presets;
        TALO_PRESET office = PresetOf(L"Office", {DeviceRecord(L"Wi-Fi", L"Net", kModernWlanHwId, 0)});
        TALO_PRESET travel = PresetOf(L"Travel", {DeviceRecord(L"Wi-Fi", L"Net", kModernWlanHwId, 1)});
        presets.SetAtGrow(0, office);
        presets.SetAtGrow(1, travel);
        ASSERT_EQ(SavePresets(presets), 1);
        ASSERT_TRUE(CSimNotebook().SetDisabled(kModernWlan, false, false));
        TakeSwitches();
    }

    static void StoreRules(std::initializer_list<std::pair<RuleEvent, const wchar_t*>> pairs,
                           const wchar_t* hwId = L"")
    {
        std::vector<Rule> rules;
        for (const auto& pair : pairs) {
            Rule rule;
            rule.event = pair.first;
            rule.preset = pair.second;
            rule.hwId = IsDockEvent(pair.first) ? hwId : L"";
            rules.push_back(rule);
        }
        ASSERT_TRUE(SaveRules(rules));
    }

    static testing::AssertionResult WlanBecomes(bool on)
    {
        for (DWORD waited = 0; waited < kReapplyWaitMs; waited += 100) {
            if (IsDisabled(kModernWlan) != on)
                return testing::AssertionSuccess();
            PumpMessagesFor(100);
        }
        return testing::AssertionFailure() << "the WLAN adapter did not switch " << (on ? "on" : "off");
    }

    // Plays each change and checks the WLAN after it and that one switch made it.
    void PlayEvents(const std::vector<std::pair<std::wstring, bool>>& steps)
    {
        for (const auto& [simArguments, wlanOn] : steps) {
            SCOPED_TRACE(simArguments);
            ASSERT_EQ(RunSim(simArguments), 0u);
            EXPECT_TRUE(WlanBecomes(wlanOn));
            EXPECT_NE(WaitForBalloon({}, kReapplyWaitMs), nullptr) << "no balloon";
            PumpMessagesFor(kQuietPeriodMs);
            EXPECT_EQ(std::vector<std::wstring>{wlanOn ? L"1 enable ok" : L"1 disable ok"}, TakeSwitches());
            EXPECT_EQ(ReadPresetInForce().number, wlanOn ? 1 : 0) << "the rule's preset is in force";
        }
    }

    RegistrySnapshot rules_{HKEY_CURRENT_USER, kRulesKey};
};

constexpr wchar_t kModernDriveId[] = L"USBSTOR\\CDROM&VEN_GENERIC&PROD_DVD-RW_DRIVE&REV_1.00\\7&2A3B4C5D&0";
constexpr wchar_t kModernDriveHwId[] = L"USBSTOR\\CdRomGeneric";

TEST_F(RulePresets, CablePowerAndDockEachSwitchTheWlan)
{
    const struct {
        const char* name;
        RuleEvent off, on;
        std::vector<std::pair<std::wstring, bool>> steps;
        bool machinePolicy; // the rules are the administrator's, for the machine
    } cases[] = {
        {"cable", RuleEvent::CableIn, RuleEvent::CableOut, {{L"cable in", false}, {L"cable out", true}}, false},
        {"power", RuleEvent::Battery, RuleEvent::AC, {{L"power battery", false}, {L"power ac", true}}, false},
        {"dock", RuleEvent::Undocked, RuleEvent::Docked,
         {{std::wstring(L"set ") + kModernDriveId + L" absent", false},
          {std::wstring(L"set ") + kModernDriveId + L" present", true}},
         false},
        {"machine policy", RuleEvent::CableIn, RuleEvent::CableOut, {{L"cable in", false}, {L"cable out", true}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ScopedPolicy policy;
        if (c.machinePolicy) {
            StoreRules({});
            ASSERT_TRUE(policy.StoreRule(HKEY_LOCAL_MACHINE, 0, RuleEventName(c.off), L"Office"));
            ASSERT_TRUE(policy.StoreRule(HKEY_LOCAL_MACHINE, 1, RuleEventName(c.on), L"Travel"));
        } else {
            StoreRules({{c.off, L"Office"}, {c.on, L"Travel"}}, kModernDriveHwId);
        }
        ASSERT_TRUE(StartLauncher());
        PumpMessagesFor(kQuietPeriodMs);
        TakeSwitches(); // the rule that matches at start switches nothing: the WLAN is on
        PlayEvents(c.steps);
        EndLauncher();
    }
}

TEST_F(RulePresets, ABurstOfCableChangesAppliesOnce)
{
    StoreRules({{RuleEvent::CableIn, L"Office"}, {RuleEvent::CableOut, L"Travel"}});
    ASSERT_TRUE(StartLauncher());
    PumpMessagesFor(kQuietPeriodMs);
    TakeSwitches();
    for (const wchar_t* step : {L"cable in", L"cable out", L"cable in"})
        ASSERT_EQ(RunSim(step), 0u);
    EXPECT_TRUE(WlanBecomes(false));
    PumpMessagesFor(kQuietPeriodMs);
    EXPECT_EQ(std::vector<std::wstring>{L"1 disable ok"}, TakeSwitches());
}

TEST_F(RulePresets, ARuleNamingADeletedPresetDoesNothing)
{
    StoreRules({{RuleEvent::CableIn, L"Gone"}});
    ASSERT_TRUE(StartLauncher());
    ASSERT_EQ(RunSim(L"cable in"), 0u);
    PumpMessagesFor(2 * kQuietPeriodMs);
    EXPECT_FALSE(IsDisabled(kModernWlan));
    EXPECT_EQ(std::vector<std::wstring>(), TakeSwitches());
    EXPECT_EQ(ReadPresetInForce().number, -1);
}

TEST_F(RulePresets, AtStartTheMatchingRulesApplyCableThenPowerThenDock)
{
    ASSERT_EQ(RunSim(L"cable in"), 0u);
    ASSERT_EQ(RunSim(L"power battery"), 0u);
    // Cable says Travel, power Office, the dock (present) Travel: the dock's comes last.
    StoreRules({{RuleEvent::Docked, L"Travel"}, {RuleEvent::Battery, L"Office"}, {RuleEvent::CableIn, L"Travel"}},
               kModernDriveHwId);
    ASSERT_TRUE(StartLauncher());
    for (DWORD waited = 0; waited < kReapplyWaitMs && CSimNotebook().InstallerCalls().size() < 2; waited += 100)
        PumpMessagesFor(100);
    PumpMessagesFor(kQuietPeriodMs);
    EXPECT_EQ((std::vector<std::wstring>{L"1 disable ok", L"1 enable ok"}), TakeSwitches());
    EXPECT_EQ(ReadPresetInForce().number, 1);
    ASSERT_EQ(RunSim(L"cable out"), 0u);
    ASSERT_EQ(RunSim(L"power ac"), 0u);
}

} // namespace
