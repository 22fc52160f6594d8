#include <windows.h>

// The floor of a program that shows a notice: a Win32 program that creates a
// small visible window, lets it be drawn once and ends, built like the product.
namespace {

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = NoticeProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"AirvaneBench.Notice";
    if (!RegisterClassW(&windowClass))
        return 1;
    const HWND window = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"Notice", WS_POPUP | WS_BORDER,
                                        100, 100, 320, 80, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    DestroyWindow(window);
    return 0;
}
