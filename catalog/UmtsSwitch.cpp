// Switching the UMTS modem: its root and sub-devices, as the "UMTS" section of
// the catalog's text file describes the entry that is installed. On goes root
// first, then the sub-devices upwards; off goes the sub-devices downwards, root
// last. Each step is one request to the switching service.
#include "catalog/DeviceCatalog.h"

#include "service/ipc/RequestClient.h"

namespace {

// A class or prefix too long for the catalog counts as a failed step (a cut prefix
// would select more devices), and so does an empty class, which names no device.
bool SwitchDevice(const DeviceSectionEntry& device, bool on)
{
    if (device.className.empty() || !FitsSectionValue(device.className) || !FitsSectionValue(device.hwId))
        return false;
    const wchar_t* className = device.className.c_str();
    const wchar_t* hwIdPrefix = device.hwId.c_str();
    return (on ? RequestEnableDevice(className, hwIdPrefix) : RequestDisableDevice(className, hwIdPrefix)) == 0;
}

} // namespace

int CDeviceCatalog::EnableUmtsModem()
{
    UmtsEntry entry;
    if (!FindPresentUmtsEntry(entry) || !SwitchDevice(entry.root, true))
        return 0;
    for (int sub = 0; sub < entry.subDevices; ++sub) {
        if (!SwitchDevice(sections_.UmtsSubDevice(entry.root.index, sub), true))
            return 0;
    }
    return 1;
}

int CDeviceCatalog::DisableUmtsModem()
{
    UmtsEntry entry;
    if (!FindPresentUmtsEntry(entry))
        return 0;
    for (int sub = entry.subDevices - 1; sub >= 0; --sub) {
        if (!SwitchDevice(sections_.UmtsSubDevice(entry.root.index, sub), false))
            return 0;
    }
    return SwitchDevice(entry.root, false) ? 1 : 0;
}
