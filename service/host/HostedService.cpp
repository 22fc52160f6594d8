#include "service/host/HostedService.h"

#include "foundation/ModuleFolder.h"
#include "foundation/Names.h"

#include <string>

namespace {

using StartupFunction = void(WINAPI*)(void*);

constexpr DWORD kWindowWaitMs = 10000; // the window appears within milliseconds; a refused start never
constexpr DWORD kWindowPollMs = 10;
constexpr DWORD kProgressMs = 1000;

// Empty when the program's own path cannot be read: a bare file name would be searched for.
std::wstring LibraryPath()
{
    const std::wstring folder = ModuleFolder(nullptr);
    return folder.empty() ? std::wstring() : folder + kServiceLibraryFile;
}

} // namespace

HWND AwaitServiceWindow(DWORD timeoutMs)
{
    for (DWORD waited = 0;; waited += kWindowPollMs) {
        if (const HWND window = FindServiceWindow()) {
            // The window can be found while it is still being created; an answer
            // to a sent message comes from its message loop, after the block was created.
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, timeoutMs, &answer))
                return window;
        }
        if (waited >= timeoutMs)
            return nullptr;
        Sleep(kWindowPollMs);
    }
}

HWND FindServiceWindow()
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kServiceWindowClass, nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId())
            return window;
    }
    return nullptr;
}

DWORD CHostedService::Start()
{
    const std::wstring path = LibraryPath();
    library_.Reset(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library_)
        return kExitNotStarted;
    // Through void*: FARPROC has no parameters, and GCC warns about a direct cast.
    const auto startup =
        reinterpret_cast<StartupFunction>(reinterpret_cast<void*>(GetProcAddress(library_.Get(), "Startup")));
    if (!startup)
        return kExitNotStarted;
    SetLastError(ERROR_SUCCESS);
    startup(nullptr);
    // Startup leaves in the thread's last error why it refused to start.
    switch (GetLastError()) {
    case ERROR_SERVICE_ALREADY_RUNNING:
        return kExitAnotherInstance;
    case ERROR_ALREADY_EXISTS:
        return kExitNameTaken;
    default:
        break;
    }
    // It starts nothing in a fail-safe boot; the window tells that the service runs.
    window_ = AwaitServiceWindow(kWindowWaitMs);
    return window_ ? 0 : kExitNotStarted;
}

void CHostedService::Stop(void (*progress)())
{
    if (!window_)
        return;
    const DWORD threadId = GetWindowThreadProcessId(window_, nullptr);
    KernelHandle thread(OpenThread(SYNCHRONIZE, FALSE, threadId));
    if (!PostMessageW(window_, WM_CLOSE, 0, 0) || !thread)
        return;
    while (WaitForSingleObject(thread.Get(), kProgressMs) == WAIT_TIMEOUT)
        progress();
    window_ = nullptr;
}
