#include "service/host/HostedService.h"

#include "foundation/Names.h"

#include <string>
#include <vector>

namespace {

using StartupFunction = void(WINAPI*)(void*);

constexpr DWORD kWindowWaitMs = 10000; // the window appears within milliseconds; a refused start never
constexpr DWORD kWindowPollMs = 10;
constexpr DWORD kProgressMs = 1000;

std::wstring LibraryPath()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::wstring program(path.data());
    return program.substr(0, program.find_last_of(L'\\') + 1) + kServiceLibraryFile;
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

bool CHostedService::Start()
{
    const std::wstring path = LibraryPath();
    library_.Reset(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library_)
        return false;
    // Through void*: FARPROC has no parameters, and GCC warns about a direct cast.
    const auto startup =
        reinterpret_cast<StartupFunction>(reinterpret_cast<void*>(GetProcAddress(library_.Get(), "Startup")));
    if (!startup)
        return false;
    startup(nullptr);
    // Startup returns at once and starts nothing in a fail-safe boot or when
    // another instance runs; the window tells that the service runs.
    window_ = AwaitServiceWindow(kWindowWaitMs);
    return window_ != nullptr;
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
