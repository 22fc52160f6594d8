// A stand-in for the launcher, installed as TALOLauncher.exe: it records each
// start's command line under HKCU\Software\AirvaneTests\LauncherProbe ("Start0",
// "Start1"... and "Starts") and behaves as the launcher does towards the settings
// program: one instance keeps a hidden window of the launcher's class and counts
// each PresetsChangedMsg in "PresetsChanged"; a start with "/e" ends it.
#include "foundation/Handle.h"
#include "foundation/Names.h"

#include <cwchar>
#include <string>
#include <windows.h>

namespace {

constexpr wchar_t kProbeKey[] = L"Software\\AirvaneTests\\LauncherProbe";

UINT presetsChangedMsg = 0;

RegKey OpenProbeKey()
{
    RegKey key;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProbeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
    return key;
}

DWORD Increment(HKEY key, const wchar_t* name)
{
    DWORD count = 0;
    DWORD bytes = sizeof(count);
    RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &bytes);
    ++count;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof(count));
    return count;
}

void RecordStart(const wchar_t* commandLine)
{
    const RegKey key = OpenProbeKey();
    const std::wstring name = L"Start" + std::to_wstring(Increment(key.Get(), L"Starts") - 1);
    RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(commandLine),
                   static_cast<DWORD>((wcslen(commandLine) + 1) * sizeof(wchar_t)));
}

LRESULT CALLBACK ProbeWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == presetsChangedMsg && presetsChangedMsg != 0) {
        Increment(OpenProbeKey().Get(), L"PresetsChanged");
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int)
{
    RecordStart(GetCommandLineW());
    presetsChangedMsg = RegisterWindowMessageW(kPresetsChangedMessage);
    const HWND running = FindWindowW(kLauncherWindowClass, nullptr);
    if (wcsstr(arguments, L"/e")) {
        if (running)
            PostMessageW(running, WM_DESTROY, 0, 0);
        return 0;
    }
    if (running)
        return 0;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ProbeWindow;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kLauncherWindowClass;
    if (!RegisterClassExW(&windowClass) ||
        !CreateWindowExW(0, kLauncherWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
