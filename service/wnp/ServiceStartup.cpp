#include "service/wnp/ServiceStartup.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "service/wnp/ServiceState.h"
#include "service/wnp/ServiceWindow.h"

#include <sddl.h>

namespace {

// The instance mutex tells clients that the service has ended (it is abandoned
// then), so every user may wait on it and give it back; only the system and
// administrators may do more.
constexpr wchar_t kInstanceMutexSecurity[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;WD)";

} // namespace

// The thread that calls Startup owns the instance mutex until it ends: the
// host calls it from a thread that lives as long as the service.
extern "C" void WINAPI Startup(void*)
{
    if (GetSystemMetrics(SM_CLEANBOOT) != 0)
        return; // no service in a fail-safe boot
    LocalMemory descriptor;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(kInstanceMutexSecurity, SDDL_REVISION_1, descriptor.Put(),
                                                         nullptr);
    SECURITY_ATTRIBUTES security = {sizeof(security), descriptor.Get(), FALSE};
    if (g_instanceGuard.Check(kServiceInstanceMutex, descriptor ? &security : nullptr) !=
        CcCheckDualExec::kFirstInstance) {
        return;
    }
    KernelHandle thread(CreateThread(nullptr, 0, ServiceWindowThread, nullptr, 0, nullptr));
}
