#pragma once

#include "sim/SimDeviceApi.h"

// What the simulated binding's handles stand for.

// One device of a device-information set: its snapshot and what the caller set on it.
struct CSimDeviceApi::Element {
    SimDevice device;
    bool hasParams = false;
    SP_PROPCHANGE_PARAMS params = {};
    DWORD installFlags = 0; // SP_DEVINSTALL_PARAMS_W::Flags
};

// A device-information set: the devices, or the device interfaces, found when it was built.
struct CSimDeviceApi::DeviceSet {
    GUID classGuid = {};
    std::vector<Element> elements;
    std::vector<SimInterface> interfaces;
};

// An open device path: a device interface (the Bluetooth control device) or an NDIS adapter.
struct CSimDeviceApi::OpenDevice {
    GUID interfaceGuid = {}; // of an interface
    std::wstring path;       // the interface path, or the adapter's service name
    bool ndis = false;
    DWORD access = 0;
    DWORD shareMode = 0;
};
