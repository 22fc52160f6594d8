#include "service/wnp/ServiceWindow.h"

#include "foundation/CEvent.h"
#include "foundation/Names.h"
#include "service/ipc/TaloRequest.h"
#include "service/wnp/RequestWorker.h"
#include "service/wnp/ServiceState.h"

namespace {

HWND CreateServiceWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ServiceWndProc;
    windowClass.hInstance = g_module;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kServiceWindowClass;
    // The class stays registered when the service stops; a later start reuses it.
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return CreateWindowExW(0, kServiceWindowClass, L"", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, nullptr, nullptr,
                           g_module, nullptr);
}

// The worker ends after the request it may be carrying out; it closes the
// block and answers whoever still waits. Its end is waited for, not the
// completion event, which the clients share.
void StopService(HWND window)
{
    SetEvent(g_stopFlag.Get());
    if (g_worker) {
        WaitForSingleObject(g_worker.Get(), INFINITE);
        g_worker.Reset();
    }
    DestroyWindow(window);
    PostQuitMessage(0);
}

// A request event still set now was signalled for a service that ended without
// answering it; it must not run late against the new block (which is the old
// mapping if anyone still holds that open). No live request is dropped: a
// client signals only together with its write into a block, and before the
// write it opens the service's instance mutex. As no block of this service
// exists yet, the write went to the ended service's block while that service
// ran, so the client waits on the ended service's mutex, sees it abandoned and
// reports -1; only a process that keeps the old block open against the
// protocol could write there after this service took the mutex.
void ClearStaleRequest()
{
    CEvent request(kRequestEvent, TRUE, FALSE, 0, 0);
    if (request.IsObtained())
        ResetEvent(request.GetHandle());
}

} // namespace

DWORD WINAPI ServiceWindowThread(void*)
{
    ResetEvent(g_stopFlag.Get());
    const HWND window = CreateServiceWindow();
    if (!window) {
        g_block.CloseBlock();
        return 0;
    }
    g_window = window;
    g_worker.Reset(CreateThread(nullptr, 0, RequestWorker, window, 0, nullptr));
    if (!g_worker)
        g_block.CloseBlock(); // nobody would answer: clients find no service instead

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    g_window = nullptr;
    return 0;
}

LRESULT CALLBACK ServiceWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE:
        ClearStaleRequest();
        // Without a block the service still runs; clients then find no service.
        g_block.CreateBlock(kRequestBlockSize);
        break;
    case WM_CLOSE:
        StopService(window);
        return 0; // the window is gone
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
