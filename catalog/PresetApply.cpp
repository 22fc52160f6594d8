#include "catalog/PresetApply.h"

#include "catalog/Companion.h"
#include "catalog/DeviceCatalog.h"
#include "devices/BtSwPowerCtl.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"

#include <windows.h>

namespace {

bool IsMarker(const wchar_t* className, const wchar_t* marker)
{
    return CompareStringOrdinal(className, -1, marker, -1, TRUE) == CSTR_EQUAL;
}

// A modem that fails to switch is switched back the other way; that outcome is not reported.
int SwitchUmtsModem(CDeviceCatalog* catalog, bool on)
{
    if (!catalog)
        return kSwitchFailed;
    const int result = on ? catalog->EnableUmtsModem() : catalog->DisableUmtsModem();
    if (result != kSwitchFailed)
        return result;
    if (on)
        catalog->DisableUmtsModem();
    else
        catalog->EnableUmtsModem();
    return kSwitchFailed;
}

int SwitchPresetDevice(CDeviceCatalog* catalog, const TALO_DEVICEINFO& device, bool on)
{
    if (IsMarker(device.Class, kUmtsClassMarker))
        return SwitchUmtsModem(catalog, on);
    return on ? SwitchOnDevice(device.Class, device.HwId) : SwitchOffDevice(device.Class, device.HwId);
}

// The service's answer to a device request as a switch result.
int SwitchResultOfRequest(int requestResult)
{
    if (requestResult == kDeviceResultSwitched)
        return kSwitchDone;
    return requestResult == kDeviceResultRestart ? kSwitchAfterRestart : kSwitchFailed;
}

} // namespace

void ApplyPreset(const TaloPresetList& presets, int presetIndex, CDeviceCatalog* catalog,
                 IPresetProgress& progress, PresetSwitching switching)
{
    if (presetIndex < 0 || presetIndex >= presets.GetSize())
        return;
    progress.Started();
    const TALO_PRESET& preset = presets[presetIndex];
    ReadUpdaterPath();
    bool allOn = true;
    for (int i = 0; i < preset.Devices.GetSize(); ++i) {
        const TALO_DEVICEINFO& device = preset.Devices[i];
        const bool on = device.Setting == 1;
        allOn = allOn && on;
        const bool inState = switching == PresetSwitching::DevicesThatDiffer && catalog && catalog->IsInState(device);
        const int result = inState ? kSwitchDone : SwitchPresetDevice(catalog, device, on);
        progress.DeviceDone(device.DeviceName, on, OutcomeOfSwitch(result));
    }
    if (allOn)
        GrantAdmission();
    else
        RevokeAdmission();
    progress.Finished();
}

DeviceOutcome OutcomeOfSwitch(int switchResult)
{
    if (switchResult == kSwitchFailed)
        return DeviceOutcome::Failed;
    return switchResult == kSwitchAfterRestart ? DeviceOutcome::RestartNeeded : DeviceOutcome::Switched;
}

int SwitchOnDevice(const wchar_t* className, const wchar_t* hwIdPrefix)
{
    if (IsMarker(className, kBluetoothClassMarker))
        return SetBtPower(1);
    return SwitchResultOfRequest(RequestEnableDevice(className, hwIdPrefix));
}

int SwitchOffDevice(const wchar_t* className, const wchar_t* hwIdPrefix)
{
    if (IsMarker(className, kBluetoothClassMarker))
        return SetBtPower(0);
    return SwitchResultOfRequest(RequestDisableDevice(className, hwIdPrefix));
}
