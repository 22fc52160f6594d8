#pragma once

// Device records and presets made by tests: in memory, as the catalog holds them,
// and stored under the user's preset keys, as the settings program stores them.

#include "automation/RegistrySnapshot.h"
#include "catalog/DeviceRecords.h"
#include "foundation/Names.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

TALO_DEVICEINFO DeviceRecord(const std::wstring& name, const std::wstring& className, const std::wstring& hwId,
                             int setting, const std::wstring& displayName = L"");

// A preset of the devices, in their switching order.
TALO_PRESET PresetOf(const std::wstring& name, std::initializer_list<TALO_DEVICEINFO> devices);

// One device of a stored preset, value by value.
struct StoredDevice {
    StoredDevice(std::wstring name, std::wstring className, std::wstring hwId, DWORD setting,
                 std::wstring displayName = L"")
        : name(std::move(name)), className(std::move(className)), hwId(std::move(hwId)), setting(setting),
          displayName(std::move(displayName))
    {
    }

    std::wstring name;
    std::wstring className;
    std::wstring hwId;
    DWORD setting;
    std::wstring displayName;
};

// Writes preset n under HKEY_CURRENT_USER (Name and the devices' values); false
// when its key cannot be created.
bool StorePreset(int n, const std::wstring& name, const std::vector<StoredDevice>& devices);

// Writes a preset in that layout to the key path of root.
bool StorePresetAt(HKEY root, const std::wstring& path, const std::wstring& name,
                   const std::vector<StoredDevice>& devices);

// The administrator's policy keys of the machine and the user, removed for a test
// and put back as they were after it; presets and settings written as policy does.
class ScopedPolicy {
public:
    ScopedPolicy();
    bool SetDWord(HKEY root, const wchar_t* name, DWORD value) const;
    // Preset n of the policy under root.
    bool StorePreset(HKEY root, int n, const std::wstring& name, const std::vector<StoredDevice>& devices) const;
    // Rule k of the policy under root; the hardware ID only for the dock's events.
    bool StoreRule(HKEY root, int k, const std::wstring& event, const std::wstring& preset,
                   const std::wstring& hwId = L"") const;

private:
    RegistrySnapshot machine_{HKEY_LOCAL_MACHINE, kPolicyKey};
    RegistrySnapshot user_{HKEY_CURRENT_USER, kPolicyKey};
};

// The registry path of preset n under HKEY_CURRENT_USER.
std::wstring PresetPath(int n);
