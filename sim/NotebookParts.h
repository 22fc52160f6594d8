#pragma once

#include "sim/SimNotebook.h"

#include <string>
#include <utility>
#include <vector>

// What the seeded notebooks are made of: setup classes and devices as Windows names them.
namespace simparts {

// Setup class GUIDs as Windows defines them.
inline constexpr GUID kNetClass = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
inline constexpr GUID kUsbClass = {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID kModemClass = {0x4d36e96d, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
inline constexpr GUID kPortsClass = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
inline constexpr GUID kCdromClass = {0x4d36e965, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
inline constexpr GUID kBluetoothClass = {0xe0cbf06c, 0xcd8b, 0x4647, {0xbb, 0x8a, 0x26, 0x3b, 0x43, 0xf0, 0xf9, 0x74}};

// A present, enabled, disableable device; friendlyName null: the device has none.
inline SimDevice Device(const wchar_t* instanceId, const wchar_t* enumerator, const wchar_t* className,
                        std::vector<std::wstring> hardwareIds, const wchar_t* friendlyName, const wchar_t* description)
{
    SimDevice device;
    device.instanceId = instanceId;
    device.enumerator = enumerator;
    device.className = className;
    device.hardwareIds = std::move(hardwareIds);
    if (friendlyName)
        device.friendlyName = friendlyName;
    device.description = description;
    return device;
}

inline SimDevice WithLatency(SimDevice device, DWORD latencyMs)
{
    device.latencyMs = latencyMs;
    return device;
}

// Clears the notebook and registers the setup classes every seeded notebook uses.
inline bool StartNotebook(CSimNotebook& notebook)
{
    return notebook.Clear() && notebook.AddClass(L"Net", kNetClass) && notebook.AddClass(L"USB", kUsbClass) &&
           notebook.AddClass(L"Modem", kModemClass) && notebook.AddClass(L"Ports", kPortsClass) &&
           notebook.AddClass(L"CDROM", kCdromClass) && notebook.AddClass(L"Bluetooth", kBluetoothClass);
}

// The UMTS modem both notebooks carry, so that the text files' entry names it: the
// composite USB device and its two functions, each switching in latencyMs.
bool AddUmtsModem(CSimNotebook& notebook, DWORD latencyMs);

// A removable USB DVD drive.
bool AddUsbDrive(CSimNotebook& notebook, DWORD latencyMs);

// A network adapter as Windows lists it beside its device: the "NetworkCards"
// entry cardKey and the NDIS device named service.
struct NetworkAdapter {
    const wchar_t* cardKey;
    const wchar_t* description;
    const wchar_t* service;
    DWORD device; // the device's number in the notebook
};

// A WLAN and an Ethernet adapter: both listed, the WLAN one also by the WLAN service.
bool ListNetworkAdapters(CSimNotebook& notebook, const NetworkAdapter& wlan, const NetworkAdapter& ethernet);

} // namespace simparts
