#pragma once

#include "foundation/Handle.h"

#include <windows.h>

// The switching service as the host runs it: the library beside the program,
// started once through its Startup export, stopped through its hidden window.
class CHostedService {
public:
    CHostedService() = default;
    virtual ~CHostedService() = default;
    CHostedService(const CHostedService&) = delete;
    CHostedService& operator=(const CHostedService&) = delete;

    // Loads the library and calls Startup; 0 once the service window exists,
    // else the service-specific exit code (below) that says why not.
    // The calling thread owns the service's instance mutex from then on, and
    // clients take its abandonment for the service's end: call it from a thread
    // that lives as long as the service (ServiceMain's, which waits for the stop).
    DWORD Start();
    // Sends WM_CLOSE so that the orderly stop runs, and waits until the window's
    // thread has ended, calling progress about once a second meanwhile.
    void Stop(void (*progress)());

private:
    Library library_;
    HWND window_ = nullptr;
};

// Service-specific exit codes of a start that failed.
constexpr DWORD kExitNotStarted = 1;      // no library, no window: a fail-safe boot among others
constexpr DWORD kExitAnotherInstance = 2; // the instance mutex is held by a live instance or kept by a user
constexpr DWORD kExitNameTaken = 3;       // a channel object's name is taken by an object not the service's

// The service window of this process. The launcher's window has the same
// class, so the window is told apart by the process that owns it.
HWND FindServiceWindow();
// The service window once its thread runs its message loop; null if it does
// not within the time.
HWND AwaitServiceWindow(DWORD timeoutMs);
