#include "catalog/PresetStore.h"

#include "catalog/IndexedName.h"
#include "catalog/PresetHotkey.h"
#include "catalog/PresetSwap.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

namespace {

// Reads device k; false when its name (after the display-name substitution) or class is empty.
bool ReadDevice(CcRegistry& key, int k, TALO_DEVICEINFO& device)
{
    device.DeviceName = key.GetString(IndexedName(kDeviceNameValueFormat, k), L"", 0);
    device.Class = key.GetString(IndexedName(kClassValueFormat, k), L"", 0);
    device.HwId = key.GetString(IndexedName(kHwIdValueFormat, k), L"", 0);
    device.Setting = static_cast<int>(key.GetDWord(IndexedName(kSettingValueFormat, k), 0, 0));
    device.DisplayName = key.GetString(IndexedName(kDisplayNameValueFormat, k), L"", 0);
    if (!device.DisplayName.IsEmpty())
        device.DeviceName = device.DisplayName;
    return !device.DeviceName.IsEmpty() && !device.Class.IsEmpty();
}

// Appends the presets of one tree, Preset0, Preset1, ... of keyFormat under root.
void LoadPresetTree(TaloPresetList& list, HKEY root, const wchar_t* keyFormat, REGSAM access, bool managed)
{
    for (int n = 0;; ++n) {
        CcRegistry key;
        if (!key.OpenKey(IndexedName(keyFormat, n), root, access))
            break;
        TALO_PRESET preset;
        preset.Managed = managed;
        preset.Name = key.GetString(kPresetNameValue, L"", 0);
        if (preset.Name.IsEmpty())
            break;
        for (int k = 0;; ++k) {
            TALO_DEVICEINFO device;
            if (!ReadDevice(key, k, device))
                break;
            preset.Devices.SetAtGrow(preset.Devices.GetSize(), device);
        }
        if (preset.Devices.GetSize() == 0)
            break;
        preset.Hotkey = StoredHotkey(key.GetDWord(kPresetHotkeyValue, 0, 0));
        list.SetAtGrow(list.GetSize(), preset);
    }
}

} // namespace

int LoadPresets(TaloPresetList& list)
{
    list.RemoveAll();
    CPresetStoreLock lock;
    if (lock.IsHeld())
        FinishInterruptedSave();
    LoadPresetTree(list, HKEY_CURRENT_USER, kPresetKeyFormat, KEY_ALL_ACCESS, false);
    // Users may only read policy keys.
    LoadPresetTree(list, HKEY_LOCAL_MACHINE, kPolicyPresetKeyFormat, KEY_READ, true);
    LoadPresetTree(list, HKEY_CURRENT_USER, kPolicyPresetKeyFormat, KEY_READ, true);
    return list.GetSize();
}

int UserPresetCount(const TaloPresetList& list)
{
    int count = 0;
    while (count < list.GetSize() && !list[count].Managed)
        ++count;
    return count;
}
