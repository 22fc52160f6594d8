#pragma once

#include "foundation/CMMFData.h"
#include "foundation/CcCheckDualExec.h"
#include "foundation/Handle.h"
#include "service/wnp/DevicePolicyCache.h"

#include <string>
#include <windows.h>

// The switching service's life: started once by Startup, anchored by a hidden
// window whose creation creates the request block, stopped in order by WM_CLOSE.

// Starts the switching service on a thread of its own and returns at once:
// not in a fail-safe boot, and only in the first instance on the machine.
// It first creates every named object of the request channel as its own; when
// it starts nothing, the calling thread's last error says why (see
// kStartupAnotherInstance and kStartupNameTaken), otherwise it is 0.
// The argument is the logon process's notification information, not used.
extern "C" void WINAPI Startup(void* notification);

// Another instance holds the instance mutex (or a user keeps it owned).
constexpr DWORD kStartupAnotherInstance = ERROR_SERVICE_ALREADY_RUNNING;
// A channel object's name is taken by one the service cannot make its own.
constexpr DWORD kStartupNameTaken = ERROR_ALREADY_EXISTS;

// The service's process-wide objects, one each for the life of the library.
extern CcCheckDualExec g_instanceGuard;
extern CMMFData g_block;       // the request block; the service creates and holds it
extern HINSTANCE g_module;     // the library, kept when it is attached
extern HWND g_window;          // the hidden window, once created
// The stop flag, as an event so that the worker can wait for a request and for
// the stop at once. Set by WM_CLOSE; cleared when the service starts.
extern KernelHandle g_stopFlag;
extern KernelHandle g_worker;  // the worker thread, which the orderly stop waits for
// The channel's events and its transaction mutex, which the service creates so
// that no user can; it never takes the mutex itself.
extern KernelHandle g_requestEvent;
extern KernelHandle g_completionEvent;
extern KernelHandle g_transactionMutex;
extern CDevicePolicyCache g_devicePolicy; // what the worker may switch

// The folder of the library, with a trailing backslash: the data files lie beside it.
std::wstring ServiceFolder();
