#include "service/wnp/ServiceStartup.h"

#include "foundation/Names.h"
#include "service/wnp/ServiceState.h"
#include "service/wnp/ServiceWindow.h"

extern "C" void WINAPI Startup(void*)
{
    if (GetSystemMetrics(SM_CLEANBOOT) != 0)
        return; // no service in a fail-safe boot
    if (g_instanceGuard.Check(kServiceInstanceMutex) != CcCheckDualExec::kFirstInstance)
        return;
    KernelHandle thread(CreateThread(nullptr, 0, ServiceWindowThread, nullptr, 0, nullptr));
}
