#pragma once

// The IP helper's interface types need the socket headers before windows.h, so
// this part of the device seam has a header of its own, included first.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

// The device seam's machine events: the network adapters with their media state,
// changes of the IP interfaces (a cable plugged in or pulled) and the power
// source. Like IDeviceApi, the methods carry the Win32 names and signatures; the
// system binding calls Windows, the simulated one plays the notebook's cable and
// power source.
class IMachineEventApi {
public:
    virtual ~IMachineEventApi() = default;

    virtual DWORD GetIfTable2(MIB_IF_TABLE2** table) = 0;
    virtual void FreeMibTable(void* memory) = 0;
    virtual DWORD NotifyIpInterfaceChange(ADDRESS_FAMILY family, PIPINTERFACE_CHANGE_CALLBACK callback,
                                          void* callerContext, BOOLEAN initialNotification,
                                          HANDLE* notificationHandle) = 0;
    virtual DWORD CancelMibChangeNotify2(HANDLE notificationHandle) = 0;
    virtual BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) = 0;
};

// The program's binding; defined by the binding linked into it (devices_system or sim_devices).
IMachineEventApi& MachineEventApi();
