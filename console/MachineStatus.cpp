#include "console/MachineStatus.h"

#include "catalog/DeviceCatalog.h"
#include "catalog/PresetInForce.h"
#include "catalog/PresetStore.h"
#include "devices/DeviceControl.h"
#include "devices/DeviceSnapshot.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"

#include <windows.h>

namespace {

bool IsClassMarker(const CcString& className)
{
    return CompareStringOrdinal(className, -1, kUmtsClassMarker, -1, TRUE) == CSTR_EQUAL ||
           CompareStringOrdinal(className, -1, kBluetoothClassMarker, -1, TRUE) == CSTR_EQUAL;
}

// The catalog lists a whole class only for an entry of a device section without a
// hardware ID; a WLAN adapter's record always names its own devices.
bool StandsForWholeClass(const std::wstring& type, const TALO_DEVICEINFO& record)
{
    return record.HwId.IsEmpty() && !IsClassMarker(record.Class) && lstrcmpiW(type.c_str(), kDeviceListWlan) != 0;
}

// A record of a whole class counts as on when any device of it is on; the class's
// own answer tells whether its devices disagree.
DeviceState StateOf(CDeviceSnapshot& devices, const std::wstring& type, const TALO_DEVICEINFO& record)
{
    if (StandsForWholeClass(type, record)) {
        int state = DEVSTAT_NONE;
        QueryByClass(devices, record.Class, &state);
        if (state == DEVSTAT_MIXED)
            return DeviceState::Mixed;
    }
    return record.Setting == 1 ? DeviceState::On : DeviceState::Off;
}

} // namespace

void ReadMachineStatus(CDeviceCatalog& catalog, MachineStatus& status)
{
    status.serviceRunning = IsServiceRunning();
    // One walk of each setup class answers every type's question.
    CDeviceSnapshot devices;
    for (const std::wstring& type : catalog.ListedTypes()) {
        if (!FitsSectionValue(type))
            break;
        catalog.RemoveAll();
        catalog.AddListedType(devices, type.c_str());
        if (catalog.GetSize() == 0) {
            DeviceStatus absent;
            absent.type = type;
            status.devices.push_back(absent);
        }
        for (int i = 0; i < catalog.GetSize(); ++i) {
            const TALO_DEVICEINFO& record = catalog[i];
            DeviceStatus device;
            device.type = type;
            device.name = record.DeviceName.GetString();
            device.className = record.Class.GetString();
            device.hwId = record.HwId.GetString();
            device.state = StateOf(devices, type, record);
            // The devices the catalog found the record by: the modem and the radio do not tell.
            device.restartPending =
                !IsClassMarker(record.Class) &&
                IsRestartPending(devices, record.Class, StandsForWholeClass(type, record) ? nullptr : record.HwId.GetString());
            status.devices.push_back(device);
        }
    }
    LoadPresets(status.presets);
    status.inForce = FindPresetInForce(status.presets);
}

bool IsServiceRunning()
{
    const KernelHandle block(OpenFileMappingW(FILE_MAP_READ, FALSE, kRequestBlockName));
    return block.IsValid();
}

void FindDevicesOfType(CDeviceCatalog& catalog, const wchar_t* type)
{
    CDeviceSnapshot devices;
    catalog.RemoveAll();
    if (FitsSectionValue(type))
        catalog.AddListedType(devices, type);
}

const wchar_t* StateWord(DeviceState state)
{
    switch (state) {
    case DeviceState::On:
        return L"on";
    case DeviceState::Off:
        return L"off";
    case DeviceState::Mixed:
        return L"mixed";
    case DeviceState::Absent:
        break;
    }
    return L"absent";
}
