#include "tests/support/TestPresets.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"

namespace {

void SetString(HKEY key, const std::wstring& name, const std::wstring& text)
{
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

} // namespace

TALO_DEVICEINFO DeviceRecord(const std::wstring& name, const std::wstring& className, const std::wstring& hwId,
                             int setting, const std::wstring& displayName)
{
    TALO_DEVICEINFO device;
    device.DeviceName = name.c_str();
    device.Class = className.c_str();
    device.HwId = hwId.c_str();
    device.DisplayName = displayName.c_str();
    device.Setting = setting;
    return device;
}

TALO_PRESET PresetOf(const std::wstring& name, std::initializer_list<TALO_DEVICEINFO> devices)
{
    TALO_PRESET preset;
    preset.Name = name.c_str();
    for (TALO_DEVICEINFO device : devices)
        preset.Devices.SetAtGrow(preset.Devices.GetSize(), device);
    return preset;
}

std::wstring PresetPath(int n)
{
    return std::wstring(kProductKey) + L"\\" + kSettingSubKey + L"\\Preset" + std::to_wstring(n);
}

bool StorePreset(int n, const std::wstring& name, const std::vector<StoredDevice>& devices)
{
    return StorePresetAt(HKEY_CURRENT_USER, PresetPath(n), name, devices);
}

bool StorePresetAt(HKEY root, const std::wstring& path, const std::wstring& name,
                   const std::vector<StoredDevice>& devices)
{
    RegKey key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    SetString(key.Get(), kPresetNameValue, name);
    for (size_t k = 0; k < devices.size(); ++k) {
        const std::wstring index = std::to_wstring(k);
        const StoredDevice& device = devices[k];
        SetString(key.Get(), index + L"_DeviceName", device.name);
        SetString(key.Get(), index + L"_Class", device.className);
        SetString(key.Get(), index + L"_HwId", device.hwId);
        RegSetValueExW(key.Get(), (index + L"_Setting").c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&device.setting), sizeof(device.setting));
        SetString(key.Get(), index + L"_DisplayName", device.displayName);
    }
    return true;
}

ScopedPolicy::ScopedPolicy()
{
    machine_.Remove();
    user_.Remove();
}

bool ScopedPolicy::SetDWord(HKEY root, const wchar_t* name, DWORD value) const
{
    RegKey key;
    return RegCreateKeyExW(root, kPolicyKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) ==
               ERROR_SUCCESS &&
           RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
               ERROR_SUCCESS;
}

bool ScopedPolicy::StoreRule(HKEY root, int k, const std::wstring& event, const std::wstring& preset,
                             const std::wstring& hwId) const
{
    const auto set = [&](const wchar_t* suffix, const std::wstring& text) {
        const std::wstring name = std::to_wstring(k) + suffix;
        return text.empty() ||
               RegSetKeyValueW(root, kPolicyRulesKey, name.c_str(), REG_SZ, text.c_str(),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    };
    // The event last, as a reader stops at a number without one.
    return set(L"_Preset", preset) && set(L"_HwId", hwId) && set(L"_Event", event);
}

bool ScopedPolicy::StorePreset(HKEY root, int n, const std::wstring& name,
                               const std::vector<StoredDevice>& devices) const
{
    return StorePresetAt(root, std::wstring(kPolicyKey) + L"\\Presets\\Preset" + std::to_wstring(n), name, devices);
}
