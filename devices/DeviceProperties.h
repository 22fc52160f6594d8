#pragma once

// What the device control code and its query snapshot (DeviceSnapshot.h) share:
// how a class is walked and what is read of a device.

#include "devices/DeviceApi.h"

#include <memory>
#include <string>
#include <vector>

constexpr DWORD kPropertyBytes = 1024;
constexpr size_t kPropertyChars = kPropertyBytes / sizeof(wchar_t);
using PropertyBuffer = wchar_t[kPropertyChars];

// The GUIDs of a setup class name: room for 10 first, then exactly the count the
// installer asks for. Null when the class cannot be resolved or no buffer is left.
std::unique_ptr<GUID[]> ResolveClassGuids(const wchar_t* className, DWORD& count);

// Visits every device of every class GUID, first GUID first, as long as the visitor
// returns true. Returns false when the visitor stopped the walk. Each set is released
// after its walk, or handed to keepSets when given.
template <typename Visitor>
bool WalkClassDevices(const GUID* guids, DWORD count, Visitor&& visit, std::vector<DeviceInfoSet>* keepSets = nullptr)
{
    IDeviceApi& api = DeviceApi();
    for (DWORD g = 0; g < count; ++g) {
        DeviceInfoSet set(api.SetupDiGetClassDevsExW(&guids[g], nullptr, nullptr, 0, nullptr, nullptr, nullptr));
        if (!set)
            continue;
        SP_DEVINFO_LIST_DETAIL_DATA_W detail = {};
        detail.cbSize = sizeof(detail);
        if (!api.SetupDiGetDeviceInfoListDetailW(set.Get(), &detail))
            continue;
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        for (DWORD index = 0; api.SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
            if (!visit(set.Get(), device))
                return false;
        }
        if (keepSets)
            keepSets->push_back(std::move(set));
    }
    return true;
}

// Reads a device property into a zero-filled buffer of 1024 bytes.
bool ReadProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, PropertyBuffer& buffer);

// The entries of a hardware-ID list read into a property buffer, up to the first
// empty one. An entry cut by the end of the buffer is not among them.
std::vector<std::wstring> HardwareIdEntries(const PropertyBuffer& ids);

// True when the entry begins with the prefix of prefixLength characters, in any letter case.
bool EntryBeginsWith(const std::wstring& entry, const wchar_t* prefix, size_t prefixLength);

// The device's state as the query mode counts it: DEVSTAT_DISABLED, DEVSTAT_ENABLED,
// or DEVSTAT_NONE when its status cannot be read.
int ReadDeviceState(const SP_DEVINFO_DATA& device);

// True when the device reports that a change waits for a restart (DN_NEED_RESTART).
bool ReadNeedsRestart(const SP_DEVINFO_DATA& device);

// Folds one device's state into the aggregate; DEVSTAT_NONE does not count.
void FoldState(int& state, int seen);
