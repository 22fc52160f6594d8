#include "settings/RunningWindow.h"

#include <windows.h>

namespace {

constexpr int kCloseRequests = 5;
constexpr DWORD kCloseIntervalMs = 1000;
constexpr wchar_t kDialogClass[] = L"#32770";

} // namespace

void CloseRunningSettingsWindow(const wchar_t* windowTitle)
{
    // An empty title would match any untitled dialog of any program.
    if (!windowTitle || windowTitle[0] == L'\0')
        return;
    const HWND window = FindWindowW(kDialogClass, windowTitle);
    for (int i = 0; i < kCloseRequests; ++i) {
        if (!IsWindow(window) || !GetLastActivePopup(window))
            return;
        PostMessageW(window, WM_CLOSE, 0, 0);
        Sleep(kCloseIntervalMs);
    }
}
