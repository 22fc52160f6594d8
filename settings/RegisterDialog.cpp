#include "settings/RegisterDialog.h"

#include "catalog/PresetStore.h"
#include "settings/ApplySelection.h"
#include "settings/DeviceTree.h"
#include "settings/DialogTexts.h"
#include "settings/SettingsProcess.h"
#include "settings/SettingsResources.h"

namespace {

constexpr int kNameLimit = 32;
constexpr int kNameChars = 128;
constexpr wchar_t kCaptionKey[] = L"GUIREG_NAME";

struct ControlText {
    int id;
    const wchar_t* key;
};

constexpr ControlText kControlTexts[] = {
    {IDC_REGISTER_DESCRIPTION, L"IDC_REG_DESCLIPTION"},
    {IDC_REGISTER_NAME_LABEL, L"IDC_LBL_NEWPRESETNAME"},
    {IDOK, L"IDOK_REGISTER"},
    {IDC_REGISTER_APPLY_ONLY, L"IDC_APPLYONLY"},
    {IDCANCEL, L"IDC_IDCANCEL"},
};

// A preset without devices would end the stored list where it is read back, so
// it can only be applied, never stored.
bool CanStorePending()
{
    return pendingPreset && pendingPreset->Devices.GetSize() > 0;
}

void InitRegisterDialog(HWND dialog)
{
    SetCaptionByKey(dialog, kCaptionKey);
    for (const ControlText& control : kControlTexts)
        SetItemTextByKey(dialog, control.key, control.id);
    SendDlgItemMessageW(dialog, IDC_REGISTER_NAME, EM_LIMITTEXT, kNameLimit, 0);
    EnableWindow(GetDlgItem(dialog, IDOK), CanStorePending());
    SetFocus(GetDlgItem(dialog, IDC_REGISTER_NAME));
}

// Register: false, after a warning, while the name is empty.
bool TakeName(HWND dialog)
{
    wchar_t name[kNameChars] = L"";
    GetDlgItemTextW(dialog, IDC_REGISTER_NAME, name, kNameChars);
    if (name[0] == L'\0') {
        wchar_t caption[kCaptionChars];
        CopyDialogText(kCaptionKey, caption, kCaptionChars);
        ShowTextMessage(dialog, L"ERROR_INPUTNAME", caption, MB_ICONWARNING);
        return false;
    }
    pendingPreset->Name = name;
    return true;
}

// Register and apply only: the pending preset goes to the end of the preset
// list; register also stores the list, which tells the launcher.
INT_PTR OnRegisterCommand(HWND dialog, int id)
{
    switch (id) {
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDOK:
        if (!CanStorePending() || !TakeName(dialog))
            return TRUE;
        break;
    case IDC_REGISTER_APPLY_ONLY:
        if (!pendingPreset)
            return TRUE;
        break;
    default:
        return FALSE;
    }
    g_presets.SetAtGrow(g_presets.GetSize(), *pendingPreset);
    pendingPreset.reset();
    if (id == IDOK)
        SavePresets(g_presets);
    EndDialog(dialog, id);
    return TRUE;
}

} // namespace

int PrepareNewPreset(HWND dialog)
{
    if (!pendingPreset)
        return 0;
    // Only the devices the tree shows, read from items that exist.
    const HWND tree = GetDlgItem(dialog, IDC_MAIN_DEVICE_TREE);
    const int count = g_catalog.GetSize() < treeItemCount ? g_catalog.GetSize() : treeItemCount;
    TaloDeviceArray& devices = pendingPreset->Devices;
    for (int i = 0; i < count; ++i) {
        const TALO_DEVICEINFO& found = g_catalog[i];
        devices.SetSize(devices.GetSize() + 1);
        TALO_DEVICEINFO& device = devices[devices.GetSize() - 1];
        device.DeviceName = found.DeviceName;
        device.Class = found.Class;
        device.HwId = found.HwId;
        device.Setting = IsTreeItemChecked(tree, i) ? 1 : 0;
    }
    const INT_PTR result = DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_REGISTER), dialog, RegisterDlgProc, 0);
    return result == IDOK || result == IDC_REGISTER_APPLY_ONLY ? 1 : 0;
}

INT_PTR CALLBACK RegisterDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitRegisterDialog(dialog);
        return FALSE; // the focus is in the name field already
    case WM_COMMAND:
        return OnRegisterCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}
