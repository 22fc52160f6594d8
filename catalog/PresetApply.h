#pragma once

#include "catalog/DeviceRecords.h"

#include <windows.h>

class CDeviceCatalog;
class CTextMgr;

// Applying a preset: every device of it switched on or off in its order, the
// Bluetooth radio in this process, the UMTS modem as its root and sub-devices,
// every other device by one request to the switching service. Settings program only.

// What preset application works on. The settings program sets it once its text
// manager exists and clears it (a default context) before destroying that.
struct PresetApplyContext {
    const TaloPresetList* presets = nullptr; // the preset list
    CDeviceCatalog* catalog = nullptr; // switches the UMTS modem
    const CTextMgr* texts = nullptr;   // section "TALOGUI": the warnings' texts
};
void SetPresetApplyContext(const PresetApplyContext& context);

// Applies preset presetIndex of the list, showing the progress notice meanwhile.
// Each device that cannot be switched gets one warning box, owned by owner (null
// on the command line); the next device follows once the box is closed. At the
// end the companion program learns whether every device was to be switched on.
// An index that names no preset of the list (or no list set) does nothing.
void ApplyPreset(HWND owner, int presetIndex);

// 1 when the device is now switched on (off), else 0. The class "#KVBT#" in any
// letter case is the Bluetooth radio; any other class goes to the service.
int SwitchOnDevice(const wchar_t* className, const wchar_t* hwIdPrefix);
int SwitchOffDevice(const wchar_t* className, const wchar_t* hwIdPrefix);
