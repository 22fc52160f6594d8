#include "launcher/LauncherResources.h"

#include <windows.h>
#include <shellapi.h>

// The floor of an idle tray program: one hidden window and a message loop,
// built like the product with the launcher's resources; with the argument "icon"
// also the launcher's icon at the small-icon size in the tray, as the floor of
// the launcher's start. The shell library is loaded only then, so that the idle
// floor holds no more than its window. Ends on WM_CLOSE or WM_DESTROY.

namespace {

using NotifyIcon = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);
NotifyIcon notifyIcon = nullptr;
HICON trayImage = nullptr;

void Notify(DWORD message, HWND window)
{
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uFlags = NIF_ICON;
    icon.hIcon = trayImage;
    if (notifyIcon)
        notifyIcon(message, &icon);
}

LRESULT CALLBACK IdleWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        Notify(NIM_DELETE, window);
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = IdleWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"AirvaneBench.IdleWindow";
    const HWND window = RegisterClassExW(&windowClass) ? CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0,
                                                                         0, 0, 0, nullptr, nullptr, instance, nullptr)
                                                       : nullptr;
    if (!window)
        return 1;
    if (lstrcmpiW(arguments, L"icon") == 0) {
        // The launcher's other system libraries, which the idle floor leaves out.
        LoadLibraryW(L"advapi32.dll");
        LoadLibraryW(L"gdi32.dll");
        const HMODULE shell = LoadLibraryW(L"shell32.dll");
        const FARPROC address = shell ? GetProcAddress(shell, "Shell_NotifyIconW") : nullptr;
        notifyIcon = reinterpret_cast<NotifyIcon>(reinterpret_cast<void (*)(void)>(address));
        // As the launcher loads it: the small-icon size of the system's DPI.
        trayImage = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                  LR_DEFAULTCOLOR));
        Notify(NIM_ADD, window);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
