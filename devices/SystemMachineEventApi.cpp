#include "devices/MachineEventApi.h"

namespace {

// The shipping binding: every call goes straight to Windows.
class CSystemMachineEventApi final : public IMachineEventApi {
public:
    DWORD GetIfTable2(MIB_IF_TABLE2** table) override { return ::GetIfTable2(table); }
    void FreeMibTable(void* memory) override { ::FreeMibTable(memory); }

    DWORD NotifyIpInterfaceChange(ADDRESS_FAMILY family, PIPINTERFACE_CHANGE_CALLBACK callback, void* callerContext,
                                  BOOLEAN initialNotification, HANDLE* notificationHandle) override
    {
        return ::NotifyIpInterfaceChange(family, callback, callerContext, initialNotification, notificationHandle);
    }

    DWORD CancelMibChangeNotify2(HANDLE notificationHandle) override
    {
        return ::CancelMibChangeNotify2(notificationHandle);
    }

    BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) override { return ::GetSystemPowerStatus(status); }
};

} // namespace

IMachineEventApi& MachineEventApi()
{
    static CSystemMachineEventApi api;
    return api;
}
