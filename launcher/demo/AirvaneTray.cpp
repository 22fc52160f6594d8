// AirvaneTray: plays the person at the tray icon of a running launcher, for the
// demo. Not shipped.
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "launcher/LauncherWindow.h"

#include <cstdio>
#include <cwchar>
#include <tlhelp32.h>

namespace {

constexpr DWORD kPollMs = 10;
constexpr DWORD kWaitMs = 10000;
constexpr DWORD kApplyMs = 60000;

int Usage()
{
    std::fputs("usage: AirvaneTray wait         wait for the launcher's window\n"
               "       AirvaneTray menu         right-click the icon: open the menu\n"
               "       AirvaneTray choose <n>   choose preset n (from 0) in the open menu and\n"
               "                                wait until the settings program has applied it\n",
               stderr);
    return 2;
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

// A running settings program, opened for waiting; none when there is none.
KernelHandle FindSettingsProgram()
{
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, kSettingsProgramFile) == 0)
            return KernelHandle(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
    }
    return KernelHandle();
}

void PressKey(HWND launcher, WPARAM key)
{
    // The menu's loop reads the keys of the launcher's thread.
    PostMessageW(launcher, WM_KEYDOWN, key, 0);
    PostMessageW(launcher, WM_KEYUP, key, 0);
}

int Choose(HWND launcher, int preset)
{
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
    if (!WaitUntil([&] { return (settings = FindSettingsProgram()).IsValid(); }, kWaitMs)) {
        std::puts("No settings program was started.");
        return 1;
    }
    std::printf("The launcher started the settings program with /p%d; it applies the preset...\n", preset);
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
    if (std::wcscmp(argv[1], L"menu") == 0) {
        PostMessageW(launcher, TrayCallbackMsg, 0, WM_RBUTTONUP);
        if (!WaitUntil([&] { return OpenMenu(launcher) != nullptr; }, kWaitMs)) {
            std::puts("No menu opened.");
            return 1;
        }
        std::puts("The launcher's menu is open.");
        return 0;
    }
    if (std::wcscmp(argv[1], L"choose") == 0 && argc == 3)
        return Choose(launcher, _wtoi(argv[2]));
    return Usage();
}
