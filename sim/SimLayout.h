#pragma once

// Where the simulated notebook keeps its state, under its root key in HKLM.
namespace simlayout {

constexpr wchar_t kDefaultRoot[] = L"SOFTWARE\\AirvaneSim";
constexpr wchar_t kRootOverrideVariable[] = L"AIRVANE_SIM_ROOT";

// Classes\<name>: Guids (REG_MULTI_SZ).
constexpr wchar_t kClasses[] = L"Classes";
constexpr wchar_t kGuids[] = L"Guids";

// Devices: one REG_MULTI_SZ value per device, named by its number from 1 ("0001"), of
// "Name=Value" entries (HardwareId once per ID, FriendlyName only when the device has one),
// so that a device costs one registry read. NextNumber counts on every collection key.
constexpr wchar_t kDevices[] = L"Devices";
constexpr wchar_t kNextNumber[] = L"NextNumber";
constexpr wchar_t kInstanceId[] = L"InstanceId";
constexpr wchar_t kEnumerator[] = L"Enumerator";
constexpr wchar_t kClass[] = L"Class";
constexpr wchar_t kClassGuid[] = L"ClassGuid";
constexpr wchar_t kHardwareId[] = L"HardwareId";     // REG_MULTI_SZ
constexpr wchar_t kFriendlyName[] = L"FriendlyName"; // missing when the device has none
constexpr wchar_t kDeviceDesc[] = L"DeviceDesc";
constexpr wchar_t kPresent[] = L"Present";
constexpr wchar_t kDisabledGlobal[] = L"DisabledGlobal";
constexpr wchar_t kDisabledConfig[] = L"DisabledConfig";
constexpr wchar_t kProblem[] = L"Problem";
constexpr wchar_t kCapabilities[] = L"Capabilities";
constexpr wchar_t kRestartOnChange[] = L"RestartOnChange";
constexpr wchar_t kPendingDisabled[] = L"PendingDisabled"; // only while a change waits for a restart
constexpr wchar_t kLatencyMs[] = L"LatencyMs";
constexpr wchar_t kParent[] = L"Parent";
constexpr wchar_t kFailures[] = L"Failures";

// On the root: StateChanges (REG_MULTI_SZ of "<device number>=enabled|disabled", oldest first).
constexpr wchar_t kStateChanges[] = L"StateChanges";

// On the root: InstallerCalls (REG_MULTI_SZ of "<device number> enable|disable <outcome>[ (not quiet)]").
constexpr wchar_t kInstallerCalls[] = L"InstallerCalls";

// Interfaces\<nnnn>: Guid, Path, Present; a scheduled change: PresentAfter at ChangeAt (FILETIME, UTC).
constexpr wchar_t kInterfaces[] = L"Interfaces";
constexpr wchar_t kGuid[] = L"Guid";
constexpr wchar_t kPath[] = L"Path";
constexpr wchar_t kPresentAfter[] = L"PresentAfter";
constexpr wchar_t kChangeAt[] = L"ChangeAt";

// Bluetooth: SwitchDelayMs, RefusesSwitch, Codes (REG_MULTI_SZ of the control codes received, in hex).
constexpr wchar_t kBluetooth[] = L"Bluetooth";
constexpr wchar_t kSwitchDelayMs[] = L"SwitchDelayMs";
constexpr wchar_t kRefusesSwitch[] = L"RefusesSwitch";
constexpr wchar_t kCodes[] = L"Codes";

// Wlan: LibraryPresent, Running, LastClientVersion; Wlan\Interfaces\<nnnn>: Description, Device.
constexpr wchar_t kWlan[] = L"Wlan";
constexpr wchar_t kWlanInterfaces[] = L"Wlan\\Interfaces";
constexpr wchar_t kLibraryPresent[] = L"LibraryPresent";
constexpr wchar_t kRunning[] = L"Running";
constexpr wchar_t kLastClientVersion[] = L"LastClientVersion";
constexpr wchar_t kDescription[] = L"Description";
constexpr wchar_t kDevice[] = L"Device";

// Ndis\<service name>: Answers, Device.
constexpr wchar_t kNdis[] = L"Ndis";
constexpr wchar_t kAnswers[] = L"Answers";

// DosDevices: one value per defined name, its target as data.
constexpr wchar_t kDosDevices[] = L"DosDevices";

// On the root: CablePlugged (the wired adapter's cable) and OnBattery, 0 or 1; missing: 0.
// Values on the root, so that a watch on the root key hears the cable and survives Clear.
constexpr wchar_t kCablePlugged[] = L"CablePlugged";
constexpr wchar_t kOnBattery[] = L"OnBattery";

// On the root: OwnedKeys (REG_MULTI_SZ of real HKLM keys the machine created).
constexpr wchar_t kOwnedKeys[] = L"OwnedKeys";

} // namespace simlayout
