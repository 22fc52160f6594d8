#include "catalog/PresetStore.h"

#include "catalog/IndexedName.h"
#include "catalog/PresetsChangedMsg.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

namespace {

void WriteString(CcRegistry& key, const wchar_t* name, const CcString& text)
{
    key.SetValue(name, text.GetString(), REG_SZ, 0);
}

void WritePreset(CcRegistry& key, const TALO_PRESET& preset)
{
    WriteString(key, kPresetNameValue, preset.Name);
    for (int k = 0; k < preset.Devices.GetSize(); ++k) {
        const TALO_DEVICEINFO& device = preset.Devices[k];
        WriteString(key, IndexedName(kDeviceNameValueFormat, k), device.DeviceName);
        WriteString(key, IndexedName(kClassValueFormat, k), device.Class);
        WriteString(key, IndexedName(kHwIdValueFormat, k), device.HwId);
        key.SetDWord(IndexedName(kSettingValueFormat, k), static_cast<DWORD>(device.Setting));
        WriteString(key, IndexedName(kDisplayNameValueFormat, k), device.DisplayName);
    }
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
    {
        CcRegistry product;
        if (product.OpenKey(kProductKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS))
            product.DeleteKey(kSettingSubKey);
    }
    for (int i = 0; i < list.GetSize(); ++i) {
        CcRegistry key;
        if (!key.CreateKey(IndexedName(kPresetKeyFormat, i), HKEY_CURRENT_USER, KEY_ALL_ACCESS))
            return 0;
        WritePreset(key, list[i]);
    }
    NotifyLauncher();
    return 1;
}
