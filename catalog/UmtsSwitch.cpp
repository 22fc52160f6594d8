// Switching the UMTS modem: its root and sub-devices, as the "UMTS" section of
// the catalog's text file describes the entry that is installed. On goes root
// first, then the sub-devices upwards; off goes the sub-devices downwards, root
// last. Each step is one request to the switching service; a step that takes
// effect after a restart makes the whole modem's switch do so.
#include "catalog/DeviceCatalog.h"

#include "catalog/PresetApply.h"
#include "service/ipc/RequestClient.h"

namespace {

// A class or prefix too long for the catalog counts as a failed step (a cut prefix
// would select more devices), and so does an empty class, which names no device.
// Returns false for a failed step; a step that needs a restart sets restart.
bool SwitchDevice(const DeviceSectionEntry& device, bool on, bool& restart)
{
    if (device.className.empty() || !FitsSectionValue(device.className) || !FitsSectionValue(device.hwId))
        return false;
    const wchar_t* className = device.className.c_str();
    const wchar_t* hwIdPrefix = device.hwId.c_str();
    const int result = on ? RequestEnableDevice(className, hwIdPrefix) : RequestDisableDevice(className, hwIdPrefix);
    restart = restart || result == kDeviceResultRestart;
    return result == kDeviceResultSwitched || result == kDeviceResultRestart;
}

int SwitchResult(bool restart)
{
    return restart ? kSwitchAfterRestart : kSwitchDone;
}

} // namespace

int CDeviceCatalog::EnableUmtsModem()
{
    UmtsEntry entry;
    bool restart = false;
    if (!FindPresentUmtsEntry(entry) || !SwitchDevice(entry.root, true, restart))
        return kSwitchFailed;
    for (int sub = 0; sub < entry.subDevices; ++sub) {
        if (!SwitchDevice(sections_.UmtsSubDevice(entry.root.index, sub), true, restart))
            return kSwitchFailed;
    }
    return SwitchResult(restart);
}

int CDeviceCatalog::DisableUmtsModem()
{
    UmtsEntry entry;
    bool restart = false;
    if (!FindPresentUmtsEntry(entry))
        return kSwitchFailed;
    for (int sub = entry.subDevices - 1; sub >= 0; --sub) {
        if (!SwitchDevice(sections_.UmtsSubDevice(entry.root.index, sub), false, restart))
            return kSwitchFailed;
    }
    return SwitchDevice(entry.root, false, restart) ? SwitchResult(restart) : kSwitchFailed;
}
