#pragma once

#include "catalog/DeviceRecords.h"

class CDeviceCatalog;

// Applying a preset: every device of it switched on or off in its order, the
// Bluetooth radio in this process, the UMTS modem as its root and sub-devices,
// every other device by one request to the switching service.

// How the switch of one device came out.
enum class DeviceOutcome {
    Switched,      // in the wanted state now (also when it was so before)
    RestartNeeded, // switched, but the change takes effect after a restart
    Failed,
};

// Switch results as SwitchOnDevice and the modem's switches give them: 0 failed,
// 1 switched, 2 switched but taking effect after a restart.
constexpr int kSwitchFailed = 0;
constexpr int kSwitchDone = 1;
constexpr int kSwitchAfterRestart = 2;
DeviceOutcome OutcomeOfSwitch(int switchResult);

// What the one who applies a preset is told while it runs. The settings program
// shows its notice, a warning box per failing device and one box naming the
// devices that need a restart; a console prints a line per device; a quiet
// re-apply may only count the failures. Each device gets exactly one DeviceDone,
// in the preset's order, and the next device is switched only once it has returned.
class IPresetProgress {
public:
    // Before the first device is switched.
    virtual void Started() = 0;
    // on: the device was to be switched on (else off).
    virtual void DeviceDone(const wchar_t* deviceName, bool on, DeviceOutcome outcome) = 0;
    // After the last device and the companion program's flag.
    virtual void Finished() = 0;

protected:
    ~IPresetProgress() = default;
};

// Which devices of a preset are switched: every one (each costs a request, which the
// service answers without the class installer for a device in its state), or only
// those the catalog does not find in their wanted state; the others count as switched.
enum class PresetSwitching {
    EveryDevice,
    DevicesThatDiffer,
};

// Applies preset presetIndex of presets. catalog switches the UMTS modem (null:
// a modem record fails) and, for DevicesThatDiffer, tells which devices are in
// their state already. At the end the companion program learns whether every
// device was to be switched on. An index that names no preset of the list does
// nothing, and progress hears nothing.
void ApplyPreset(const TaloPresetList& presets, int presetIndex, CDeviceCatalog* catalog,
                 IPresetProgress& progress, PresetSwitching switching = PresetSwitching::EveryDevice);

// 1 when the device is now switched on (off), 2 when it is but the change takes
// effect after a restart, else 0. The class "#KVBT#" in any letter case is the
// Bluetooth radio; any other class goes to the service.
int SwitchOnDevice(const wchar_t* className, const wchar_t* hwIdPrefix);
int SwitchOffDevice(const wchar_t* className, const wchar_t* hwIdPrefix);
