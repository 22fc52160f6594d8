#pragma once

#include "catalog/DeviceRecords.h"

#include <string>
#include <vector>

class CDeviceCatalog;

// What "airvane status" reports: every type that "DeviceList" lists with its
// devices, the switching service, the stored presets and the preset in force.

enum class DeviceState { On, Off, Mixed, Absent };

struct DeviceStatus {
    std::wstring type;      // the value of "DeviceList" it was found by
    std::wstring name;      // empty for a type without devices
    std::wstring className; // setup class or class marker, as in a preset
    std::wstring hwId;
    DeviceState state = DeviceState::Absent;
    // Switched, but the change takes effect after a restart (the device says so;
    // the UMTS modem and the Bluetooth radio, switched in steps, do not tell).
    bool restartPending = false;
};

struct MachineStatus {
    bool serviceRunning = false;
    std::vector<DeviceStatus> devices;
    TaloPresetList presets;
    int inForce = -1; // the number of the preset in force; -1: none, or renumbered since
};

// Reads the devices type by type into catalog, which should start unbuilt (it is
// left holding the last type's devices), the service's presence and the presets.
void ReadMachineStatus(CDeviceCatalog& catalog, MachineStatus& status);

// Whether the switching service runs: its request block exists. Nothing is sent.
bool IsServiceRunning();

// The devices of one type, as BuildCatalog finds them, in catalog.
void FindDevicesOfType(CDeviceCatalog& catalog, const wchar_t* type);

// The fixed English word of a state in JSON ("on", "off", "mixed", "absent").
const wchar_t* StateWord(DeviceState state);
