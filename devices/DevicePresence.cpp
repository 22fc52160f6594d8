#include "devices/DevicePresence.h"

#include "devices/DeviceProperties.h"

namespace {

// Visits every present device of every class with its hardware-ID entries, as long as visit returns true.
template <typename Visitor>
void WalkPresentDevices(Visitor&& visit)
{
    IDeviceApi& api = DeviceApi();
    DeviceInfoSet set(api.SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
    if (!set)
        return;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; api.SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
        PropertyBuffer ids;
        if (!ReadProperty(set.Get(), device, SPDRP_HARDWAREID, ids))
            continue;
        if (!visit(set.Get(), device, HardwareIdEntries(ids)))
            return;
    }
}

} // namespace

std::vector<PresentDevice> ListPresentDevices()
{
    std::vector<PresentDevice> devices;
    WalkPresentDevices([&](HDEVINFO set, SP_DEVINFO_DATA& device, const std::vector<std::wstring>& ids) {
        if (ids.empty())
            return true;
        PropertyBuffer name;
        if (!ReadProperty(set, device, SPDRP_FRIENDLYNAME, name) || name[0] == L'\0')
            ReadProperty(set, device, SPDRP_DEVICEDESC, name);
        devices.push_back({name, ids.front()});
        return true;
    });
    return devices;
}

bool IsDevicePresent(const wchar_t* hwIdPrefix)
{
    const size_t prefixLength = wcslen(hwIdPrefix);
    bool present = false;
    WalkPresentDevices([&](HDEVINFO, SP_DEVINFO_DATA&, const std::vector<std::wstring>& ids) {
        for (const std::wstring& id : ids)
            present = present || EntryBeginsWith(id, hwIdPrefix, prefixLength);
        return !present;
    });
    return present;
}
