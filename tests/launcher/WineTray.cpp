#include "tests/launcher/WineTray.h"

#include <shellapi.h>

namespace {

constexpr int kSlotBorder = 2;
constexpr UINT kAnswerMs = 5000;
constexpr wchar_t kListenerClass[] = L"AirvaneTest.TrayListener";

int SlotWidth()
{
    return GetSystemMetrics(SM_CXSMICON) + 2 * kSlotBorder;
}

int SlotHeight()
{
    return GetSystemMetrics(SM_CYSMICON) + 2 * kSlotBorder;
}

} // namespace

HWND TrayWindow()
{
    return FindWindowW(L"Shell_TrayWnd", nullptr);
}

bool SendToTraySlot(int slot, UINT mouseMessage)
{
    const HWND tray = TrayWindow();
    if (!tray)
        return false;
    // The slots count from the right edge of the screen-wide taskbar.
    const int x = GetSystemMetrics(SM_CXSCREEN) - slot * SlotWidth() - SlotWidth() / 2;
    const int y = SlotHeight() / 2;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(tray, mouseMessage, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kAnswerMs, &result) != 0;
}

TrayListener::TrayListener()
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kListenerClass;
    RegisterClassExW(&windowClass); // fails harmlessly when registered before
    window_ = CreateWindowExW(0, kListenerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
}

TrayListener::~TrayListener()
{
    if (window_)
        DestroyWindow(window_);
}

bool TrayListener::AddIcon(UINT id)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window_;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(data.szTip, L"Airvane test marker", ARRAYSIZE(data.szTip));
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

bool TrayListener::RemoveIcon(UINT id)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window_;
    data.uID = id;
    return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

int TrayListener::SlotOf(UINT id, int maxSlots)
{
    for (int slot = 0; slot < maxSlots; ++slot) {
        called_ = false;
        if (!SendToTraySlot(slot, WM_MOUSEMOVE))
            return -1;
        // The relayed callback is a notification: it has arrived, but waits to be handled.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (called_ && lastId_ == id)
            return slot;
    }
    return -1;
}

LRESULT CALLBACK TrayListener::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* listener = reinterpret_cast<TrayListener*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (listener && message == kCallbackMessage && lParam == WM_MOUSEMOVE) {
        listener->called_ = true;
        listener->lastId_ = static_cast<UINT>(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
