#include "catalog/PresetStore.h"

#include "catalog/IndexedName.h"
#include "catalog/PresetSwap.h"
#include "catalog/PresetsChangedMsg.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

namespace {

bool WriteString(CcRegistry& key, const wchar_t* name, const CcString& text)
{
    return key.SetValue(name, text.GetString(), REG_SZ, 0) != 0;
}

bool WritePreset(CcRegistry& key, const TALO_PRESET& preset)
{
    if (!WriteString(key, kPresetNameValue, preset.Name))
        return false;
    if (preset.Hotkey != 0 && !key.SetDWord(kPresetHotkeyValue, preset.Hotkey))
        return false;
    for (int k = 0; k < preset.Devices.GetSize(); ++k) {
        const TALO_DEVICEINFO& device = preset.Devices[k];
        if (!WriteString(key, IndexedName(kDeviceNameValueFormat, k), device.DeviceName) ||
            !WriteString(key, IndexedName(kClassValueFormat, k), device.Class) ||
            !WriteString(key, IndexedName(kHwIdValueFormat, k), device.HwId) ||
            !key.SetDWord(IndexedName(kSettingValueFormat, k), static_cast<DWORD>(device.Setting)) ||
            !WriteString(key, IndexedName(kDisplayNameValueFormat, k), device.DisplayName)) {
            return false;
        }
    }
    return true;
}

// The user's presets of the list as "Setting.Saving", flushed, then marked whole.
bool WriteSavingTree(CcRegistry& product, const TaloPresetList& list)
{
    CcRegistry saving;
    if (!saving.CreateKey(kSettingSavingSubKey, product.GetHandle(), KEY_ALL_ACCESS))
        return false;
    int stored = 0;
    for (int i = 0; i < list.GetSize(); ++i) {
        if (list[i].Managed)
            continue;
        CcRegistry key;
        if (!key.CreateKey(IndexedName(kPresetSubKeyFormat, stored++), saving.GetHandle(), KEY_ALL_ACCESS) ||
            !WritePreset(key, list[i])) {
            return false;
        }
    }
    RegFlushKey(saving.GetHandle());
    return saving.SetDWord(kSavedWholeValue, 1) != 0;
}

// Every top-level window of the launcher's class on this desktop gets the message. That
// is the launcher alone wherever the switching service's window of the same class lives
// on a desktop of its own (session 0; Wine's service desktop); should the two ever share
// one, the service's window cannot hide the launcher's, and the notice is harmless to it.
void NotifyLauncher()
{
    if (PresetsChangedMsg == 0)
        return;
    for (HWND window = FindWindowExW(nullptr, nullptr, kLauncherWindowClass, nullptr); window;
         window = FindWindowExW(nullptr, window, kLauncherWindowClass, nullptr)) {
        if (IsWindow(window))
            PostMessageW(window, PresetsChangedMsg, 0, 0);
    }
}

} // namespace

int SavePresets(const TaloPresetList& list)
{
    CPresetStoreLock lock;
    if (!lock.IsHeld() || !FinishInterruptedSave())
        return 0;
    CcRegistry product;
    if (!product.CreateKey(kProductKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS))
        return 0;
    if (!WriteSavingTree(product, list)) {
        product.DeleteKey(kSettingSavingSubKey);
        return 0;
    }
    // Once marked, the new list stands: what this leaves undone, the next load finishes.
    PutSavedPresetsInPlace();
    NotifyLauncher();
    return 1;
}
