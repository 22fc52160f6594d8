#include "devices/Eject.h"

#include "devices/DeviceApi.h"
#include "foundation/CcException.h"

#include <memory>
#include <new>

namespace {

// True when the device's setup class is "CDROM" in any letter case.
bool IsCdrom(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    IDeviceApi& api = DeviceApi();
    DWORD size = 0;
    api.SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_CLASS, nullptr, nullptr, 0, &size);
    if (size == 0)
        return false; // an empty class
    // One more character than asked for, zeroed, so that the text always ends inside the buffer.
    const DWORD chars = size / sizeof(wchar_t) + 1;
    std::unique_ptr<wchar_t[]> className(CheckAllocation(new (std::nothrow) wchar_t[chars]()));
    if (!api.SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_CLASS, nullptr,
                                               reinterpret_cast<BYTE*>(className.get()), size, nullptr))
        return false;
    return lstrcmpiW(className.get(), L"CDROM") == 0;
}

} // namespace

int EjectCdromDevice()
{
    struct Enumerator {
        const wchar_t* name;
        bool ejects; // eject a removable drive; otherwise remove the device's subtree
    };
    static const Enumerator kEnumerators[] = {{L"IDE", true}, {L"USBSTOR", false}};

    IDeviceApi& api = DeviceApi();
    for (const Enumerator& enumerator : kEnumerators) {
        DeviceInfoSet set(api.SetupDiGetClassDevsW(nullptr, enumerator.name, nullptr, DIGCF_ALLCLASSES));
        if (!set)
            continue;
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        for (DWORD index = 0; api.SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
            if (!IsCdrom(set.Get(), device))
                continue;
            ULONG status = 0;
            ULONG problem = 0;
            if (api.CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) != CR_SUCCESS ||
                !(status & DN_DISABLEABLE))
                continue;
            CONFIGRET outcome;
            if (enumerator.ejects) {
                if (!(status & DN_REMOVABLE))
                    continue;
                outcome = api.CM_Request_Device_EjectW(device.DevInst, nullptr, nullptr, 0, 0);
            } else {
                outcome = api.CM_Query_And_Remove_SubTreeW(device.DevInst, nullptr, nullptr, 0, CM_REMOVE_NO_RESTART);
            }
            return outcome == CR_SUCCESS ? EJECT_DONE : EJECT_REFUSED;
        }
    }
    return EJECT_NOT_FOUND;
}
