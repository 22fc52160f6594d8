#include "catalog/PresetApply.h"

#include "catalog/Companion.h"
#include "catalog/DeviceCatalog.h"
#include "catalog/DeviceMessage.h"
#include "devices/BtSwPowerCtl.h"
#include "foundation/CTextMgr.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"
#include "settings/ProgressWindow.h"

namespace {

constexpr wchar_t kCaptionKey[] = L"GUIWIN_NAME";
constexpr wchar_t kEnableErrorKey[] = L"ERROR_ENABLE";
constexpr wchar_t kDisableErrorKey[] = L"ERROR_DISABLE";
constexpr int kCaptionChars = 128;
constexpr int kTextChars = 512;

PresetApplyContext context;

bool IsMarker(const wchar_t* className, const wchar_t* marker)
{
    return CompareStringOrdinal(className, -1, marker, -1, TRUE) == CSTR_EQUAL;
}

// The copies leave the text manager's value buffer as it was.
void ShowSwitchWarning(HWND owner, const TALO_DEVICEINFO& device, bool on)
{
    wchar_t caption[kCaptionChars] = L"";
    wchar_t format[kTextChars] = L"";
    if (context.texts) {
        context.texts->CopyText(kCaptionKey, caption, kCaptionChars);
        context.texts->CopyText(on ? kEnableErrorKey : kDisableErrorKey, format, kTextChars);
    }
    const CcString text = FormatDeviceMessage(format, device.DeviceName);
    MessageBoxW(owner, text, caption, MB_ICONWARNING | MB_OK);
}

// A modem that fails to switch is switched back the other way; that outcome is not reported.
bool SwitchUmtsModem(CDeviceCatalog* catalog, bool on)
{
    if (!catalog)
        return false;
    if (on ? catalog->EnableUmtsModem() : catalog->DisableUmtsModem())
        return true;
    if (on)
        catalog->DisableUmtsModem();
    else
        catalog->EnableUmtsModem();
    return false;
}

bool SwitchPresetDevice(const TALO_DEVICEINFO& device, bool on)
{
    if (IsMarker(device.Class, kUmtsClassMarker))
        return SwitchUmtsModem(context.catalog, on);
    return (on ? SwitchOnDevice(device.Class, device.HwId) : SwitchOffDevice(device.Class, device.HwId)) != 0;
}

} // namespace

void SetPresetApplyContext(const PresetApplyContext& applyContext)
{
    context = applyContext;
}

void ApplyPreset(HWND owner, int presetIndex)
{
    if (!context.presets || presetIndex < 0 || presetIndex >= context.presets->GetSize())
        return;
    StartProgress(owner);
    const TALO_PRESET& preset = (*context.presets)[presetIndex];
    ReadUpdaterPath();
    bool allOn = true;
    for (int i = 0; i < preset.Devices.GetSize(); ++i) {
        const TALO_DEVICEINFO& device = preset.Devices[i];
        const bool on = device.Setting == 1;
        allOn = allOn && on;
        if (!SwitchPresetDevice(device, on))
            ShowSwitchWarning(owner, device, on);
    }
    if (allOn)
        GrantAdmission();
    else
        RevokeAdmission();
    CloseProgress();
}

int SwitchOnDevice(const wchar_t* className, const wchar_t* hwIdPrefix)
{
    if (IsMarker(className, kBluetoothClassMarker))
        return SetBtPower(1);
    return RequestEnableDevice(className, hwIdPrefix) == 0 ? 1 : 0;
}

int SwitchOffDevice(const wchar_t* className, const wchar_t* hwIdPrefix)
{
    if (IsMarker(className, kBluetoothClassMarker))
        return SetBtPower(0);
    return RequestDisableDevice(className, hwIdPrefix) == 0 ? 1 : 0;
}
