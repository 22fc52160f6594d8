#include "service/wnp/ServiceLifeCycle.h"

// The library's entry points. They live in the library itself, not in the
// service's static library, so that this DllMain is the one linked.

// The logon process's other notifications; TALOWNP.def exports this one
// function as Lock, Logoff, Logon, Shutdown, StartShell and Unlock.
extern "C" void WINAPI IgnoreNotification(void*)
{
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}
