#include "service/wnp/ServiceLifeCycle.h"

#include "foundation/ModuleFolder.h"
#include "foundation/Names.h"
#include "foundation/ObjectSecurity.h"
#include "foundation/ServiceObjects.h"
#include "service/ipc/TaloRequest.h"
#include "service/wnp/RequestHandling.h"

#include <utility>

CcCheckDualExec g_instanceGuard;
CMMFData g_block(kRequestBlockName);
HINSTANCE g_module = nullptr;
HWND g_window = nullptr;
KernelHandle g_stopFlag(CreateEventW(nullptr, TRUE, FALSE, nullptr));
KernelHandle g_worker;
KernelHandle g_requestEvent;
KernelHandle g_completionEvent;
KernelHandle g_transactionMutex;
CDevicePolicyCache g_devicePolicy;

namespace {

// A client that saw the service end takes the abandoned instance mutex and
// gives it back at once: this long a hold is not another instance.
constexpr DWORD kInstanceTakeOverMs = 2000;

// The instance mutex tells clients that the service has ended (it is abandoned
// then), so users may wait on it and give it back; only the system and the
// administrators may do more. It may exist without a live instance: a user
// program keeps a handle to it across a restart. A live instance owns it
// (Startup's thread does, for the service's life), a leftover is unowned or
// abandoned, and is taken over here. Returns 0 or the reason not to start.
DWORD TakeInstanceMutex()
{
    ServiceSecurity security(kUserMutexAccess);
    if (!security.Attributes())
        return kStartupNameTaken;
    switch (g_instanceGuard.Check(kServiceInstanceMutex, security.Attributes(), 1)) {
    case CcCheckDualExec::kFirstInstance:
        return 0;
    case CcCheckDualExec::kOtherInstance:
        break;
    default:
        return kStartupNameTaken; // a mutex that denies us, or an object of another kind
    }
    if (!security.Claim(g_instanceGuard.GetHandle())) {
        g_instanceGuard.Close();
        return kStartupNameTaken;
    }
    const DWORD waited = WaitForSingleObject(g_instanceGuard.GetHandle(), kInstanceTakeOverMs);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        return 0;
    g_instanceGuard.Close();
    return kStartupAnotherInstance;
}

void CloseChannel()
{
    g_block.CloseBlock();
    g_requestEvent.Reset();
    g_completionEvent.Reset();
    g_transactionMutex.Reset();
}

// Every object of the channel, before anybody is served. A request event
// still set now was signalled for a service that ended without answering it;
// it must not run late against the new block (which is the old mapping if
// anyone still holds that open), yet its client may still wait: the instance
// mutex it waits on may be this service's by now (a handle it kept lets the
// name live on). So the request is answered without being carried out: the
// client reads its own request back, unanswered, and reports -1. That happens
// before the block exists, so that no request written into this service's
// block is passed over.
DWORD CreateChannel()
{
    ServiceObject transaction = CreateServiceMutex(kTransactionMutex);
    ServiceObject request = CreateServiceEvent(kRequestEvent);
    ServiceObject completion = CreateServiceEvent(kCompletionEvent);
    if (!transaction.handle || !request.handle || !completion.handle) {
        CloseChannel();
        return kStartupNameTaken;
    }
    if (WaitForSingleObject(request.handle.Get(), 0) == WAIT_OBJECT_0) {
        ResetEvent(request.handle.Get());
        SetEvent(completion.handle.Get());
    }
    if (!g_block.CreateBlock(kRequestBlockSize)) {
        CloseChannel();
        return kStartupNameTaken;
    }
    g_transactionMutex = std::move(transaction.handle);
    g_requestEvent = std::move(request.handle);
    g_completionEvent = std::move(completion.handle);
    return 0;
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

LRESULT CALLBACK ServiceWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE:
        // Startup created it; a block that could not be made again leaves a
        // service that clients find not running.
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

// The hidden window's thread: its message loop runs for the life of the service.
DWORD WINAPI ServiceWindowThread(void*)
{
    ResetEvent(g_stopFlag.Get());
    const HWND window = CreateServiceWindow();
    if (!window) {
        CloseChannel();
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
    CloseChannel();
    return 0;
}

} // namespace

// The thread that calls Startup owns the instance mutex until it ends: the
// host calls it from a thread that lives as long as the service.
extern "C" void WINAPI Startup(void*)
{
    if (GetSystemMetrics(SM_CLEANBOOT) != 0)
        return; // no service in a fail-safe boot
    DWORD refused = TakeInstanceMutex();
    if (refused == 0 && (refused = CreateChannel()) != 0) {
        ReleaseMutex(g_instanceGuard.GetHandle());
        g_instanceGuard.Close();
    }
    if (refused == 0) {
        KernelHandle thread(CreateThread(nullptr, 0, ServiceWindowThread, nullptr, 0, nullptr));
        if (!thread) {
            refused = GetLastError();
            CloseChannel();
            ReleaseMutex(g_instanceGuard.GetHandle());
            g_instanceGuard.Close();
        }
    }
    SetLastError(refused);
}

std::wstring ServiceFolder()
{
    return ModuleFolder(g_module);
}
