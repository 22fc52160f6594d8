// AirvaneTray: plays the person at the tray icon of a running launcher, for the
// demo, and saves what that person sees. Not shipped.
#include "automation/GuiWindows.h"
#include "automation/Screenshot.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "launcher/LauncherWindow.h"
#include "settings/SettingsResources.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <tlhelp32.h>

namespace {

constexpr DWORD kPollMs = 10;
constexpr DWORD kWaitMs = 10000;
constexpr DWORD kApplyMs = 60000;
// Where the pointer rests for the right click, from the notification area's top right corner.
constexpr int kMenuOffsetX = 120;
constexpr int kMenuOffsetY = 70;

// Where the screenshots go (with a trailing backslash); none when empty.
std::wstring Screenshots;

int Usage()
{
    std::fputs("usage: AirvaneTray [--screenshots <folder>] wait | menu | choose <n>\n"
               "  wait        wait for the launcher's window\n"
               "  menu        right-click the icon: open the menu (screenshot tray-menu.png)\n"
               "  choose <n>  choose preset n (from 0) in the open menu and wait until the\n"
               "              settings program has applied it (screenshot progress-notice.png)\n",
               stderr);
    return 2;
}

bool Screenshot(const testing::AssertionResult& saved, const wchar_t* name)
{
    if (!saved)
        std::printf("AirvaneTray: no screenshot %ls: %s\n", name, saved.message());
    return static_cast<bool>(saved);
}

template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    for (DWORD waited = 0; !condition(); waited += kPollMs) {
        if (waited >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

HWND Launcher()
{
    return FindWindowW(kLauncherWindowClass, nullptr);
}

// The launcher's open popup menu.
HWND OpenMenu(HWND launcher)
{
    DWORD launcherProcess = 0;
    GetWindowThreadProcessId(launcher, &launcherProcess);
    for (HWND menu = FindWindowW(L"#32768", nullptr); menu; menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(menu, &process);
        if (process == launcherProcess && IsWindowVisible(menu))
            return menu;
    }
    return nullptr;
}

// A running settings program, opened for waiting, and its id; none when there is none.
KernelHandle FindSettingsProgram(DWORD* processId)
{
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, kSettingsProgramFile) == 0) {
            *processId = entry.th32ProcessID;
            return KernelHandle(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
        }
    }
    return KernelHandle();
}

void PressKey(HWND launcher, WPARAM key)
{
    // The menu's loop reads the keys of the launcher's thread.
    PostMessageW(launcher, WM_KEYDOWN, key, 0);
    PostMessageW(launcher, WM_KEYUP, key, 0);
}

// A right click on the icon: the pointer rests just above the notification area,
// where the menu then opens, and the icon sends the launcher its callback message.
int OpenTrayMenu(HWND launcher)
{
    RECT tray = {};
    if (GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &tray))
        SetCursorPos(tray.right - kMenuOffsetX, tray.top - kMenuOffsetY);
    PostMessageW(launcher, TrayCallbackMsg, 0, WM_RBUTTONUP);
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = OpenMenu(launcher)) != nullptr; }, kWaitMs)) {
        std::puts("No menu opened.");
        return 1;
    }
    std::puts("The launcher's menu is open.");
    if (!Screenshots.empty() &&
        !Screenshot(SaveDesktopScreenshotAs(Screenshots + L"tray-menu.png", menu), L"tray-menu"))
        return 1;
    return 0;
}

// The menu lists the user's stored presets below the settings item.
bool IsStoredPreset(int preset)
{
    wchar_t path[128];
    wsprintfW(path, kPresetKeyFormat, preset);
    RegKey key;
    return preset >= 0 && RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

int Choose(HWND launcher, int preset)
{
    if (!IsStoredPreset(preset)) {
        std::printf("There is no preset %d.\n", preset);
        return 1;
    }
    const HWND menu = OpenMenu(launcher);
    if (!menu) {
        std::puts("The menu is not open.");
        return 1;
    }
    // Home selects the settings item, Down the presets below the separator.
    PressKey(launcher, VK_HOME);
    for (int i = 0; i <= preset; ++i)
        PressKey(launcher, VK_DOWN);
    PressKey(launcher, VK_RETURN);
    // The launcher starts "TALOSetting.exe /p<n>", which ends once it has applied the preset.
    KernelHandle settings;
    DWORD settingsId = 0;
    if (!WaitUntil([&] { return (settings = FindSettingsProgram(&settingsId)).IsValid(); }, kWaitMs)) {
        std::puts("No settings program was started.");
        return 1;
    }
    std::printf("The launcher started the settings program with /p%d; it applies the preset.\n", preset);
    // The notice is the program's only window while it switches.
    WindowQuery query;
    query.processId = settingsId;
    query.className = L"#32770";
    const HWND notice = WaitForTopLevelWindow(query);
    if (notice) {
        std::wstring message = DialogItemText(notice, IDC_PROGRESS_MESSAGE);
        message.erase(std::remove(message.begin(), message.end(), L'\r'), message.end());
        std::replace(message.begin(), message.end(), L'\n', L' ');
        std::printf("Its notice shows: \"%ls\"\n", message.c_str());
        if (!Screenshots.empty() &&
            !Screenshot(SaveWindowScreenshotAs(notice, Screenshots + L"progress-notice.png"), L"progress-notice"))
            return 1;
    } else if (!Screenshots.empty()) {
        std::puts("No progress notice was seen.");
        return 1;
    }
    if (WaitForSingleObject(settings.Get(), kApplyMs) != WAIT_OBJECT_0) {
        std::puts("The settings program has not ended.");
        return 1;
    }
    std::puts("The settings program has applied the preset and ended.");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 3 && std::wcscmp(argv[1], L"--screenshots") == 0) {
        Screenshots = argv[2];
        if (!Screenshots.empty() && Screenshots.back() != L'\\')
            Screenshots += L'\\';
        argc -= 2;
        argv += 2;
    }
    if (argc < 2)
        return Usage();
    if (std::wcscmp(argv[1], L"wait") == 0) {
        if (!WaitUntil([] { return Launcher() != nullptr; }, kWaitMs)) {
            std::puts("No launcher runs.");
            return 1;
        }
        std::puts("The launcher runs.");
        return 0;
    }
    const HWND launcher = Launcher();
    if (!launcher) {
        std::puts("No launcher runs.");
        return 1;
    }
    if (std::wcscmp(argv[1], L"menu") == 0)
        return OpenTrayMenu(launcher);
    if (std::wcscmp(argv[1], L"choose") == 0 && argc == 3)
        return Choose(launcher, _wtoi(argv[2]));
    return Usage();
}
