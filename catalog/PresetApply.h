#pragma once

#include "catalog/DeviceRecords.h"

class CDeviceCatalog;

// Applying a preset: every device of it switched on or off in its order, the
// Bluetooth radio in this process, the UMTS modem as its root and sub-devices,
// every other device by one request to the switching service.

// What the one who applies a preset is told while it runs. The settings program
// shows its notice and a warning box per failing device; a console prints a line
// per device; a quiet re-apply may only count the failures. Each device gets
// exactly one of DeviceSwitched and DeviceFailed, in the preset's order, and the
// next device is switched only once that call has returned.
class IPresetProgress {
public:
    // Before the first device is switched.
    virtual void Started() = 0;
    // on: the device was to be switched on (else off).
    virtual void DeviceSwitched(const wchar_t* deviceName, bool on) = 0;
    virtual void DeviceFailed(const wchar_t* deviceName, bool on) = 0;
    // After the last device and the companion program's flag.
    virtual void Finished() = 0;

protected:
    ~IPresetProgress() = default;
};

// Applies preset presetIndex of presets. catalog switches the UMTS modem (null:
// a modem record fails). At the end the companion program learns whether every
// device was to be switched on. An index that names no preset of the list does
// nothing, and progress hears nothing.
void ApplyPreset(const TaloPresetList& presets, int presetIndex, CDeviceCatalog* catalog,
                 IPresetProgress& progress);

// 1 when the device is now switched on (off), else 0. The class "#KVBT#" in any
// letter case is the Bluetooth radio; any other class goes to the service.
int SwitchOnDevice(const wchar_t* className, const wchar_t* hwIdPrefix);
int SwitchOffDevice(const wchar_t* className, const wchar_t* hwIdPrefix);
