// The IP helper's headers first: they need the socket headers before windows.h.
#include "devices/MachineEventApi.h"

#include "devices/MachineEvents.h"
#include "foundation/Handle.h"

namespace {

// Owns a table that GetIfTable2 returned.
struct MibTableTraits {
    using Type = MIB_IF_TABLE2*;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { MachineEventApi().FreeMibTable(h); }
};
using MibTable = UniqueHandle<MibTableTraits>;

void WINAPI CableChanged(void* watch, MIB_IPINTERFACE_ROW*, MIB_NOTIFICATION_TYPE)
{
    static_cast<const CableWatch*>(watch)->Notify();
}

} // namespace

bool IsCablePluggedIn()
{
    MIB_IF_TABLE2* rows = nullptr;
    if (MachineEventApi().GetIfTable2(&rows) != NO_ERROR)
        return false;
    const MibTable table(rows);
    if (!table)
        return false;
    for (ULONG i = 0; i < table.Get()->NumEntries; ++i) {
        const MIB_IF_ROW2& row = table.Get()->Table[i];
        if (row.Type == IF_TYPE_ETHERNET_CSMACD && row.InterfaceAndOperStatusFlags.HardwareInterface &&
            row.MediaConnectState == MediaConnectStateConnected)
            return true;
    }
    return false;
}

bool IsOnBattery()
{
    SYSTEM_POWER_STATUS status = {};
    return MachineEventApi().GetSystemPowerStatus(&status) && status.ACLineStatus == 0;
}

bool CableWatch::Start(Callback callback, void* context)
{
    Stop();
    callback_ = callback;
    context_ = context;
    if (MachineEventApi().NotifyIpInterfaceChange(AF_UNSPEC, CableChanged, this, FALSE, &notification_) == NO_ERROR)
        return true;
    notification_ = nullptr;
    return false;
}

void CableWatch::Stop()
{
    // Returns once no callback runs any more.
    if (notification_)
        MachineEventApi().CancelMibChangeNotify2(notification_);
    notification_ = nullptr;
}
