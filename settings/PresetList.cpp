#include "settings/PresetList.h"

#include "settings/DeviceTree.h"
#include "settings/DialogTexts.h"
#include "settings/SettingsProcess.h"
#include "settings/SettingsResources.h"

int SelectedListEntry(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_MAIN_PRESET_LIST, LB_GETCURSEL, 0, 0));
}

bool IsStoredPreset(int entry)
{
    return entry >= 0 && entry < g_presets.GetSize();
}

bool OffersNewPreset()
{
    return g_presets.GetSize() < kPresetLimit;
}

void FillPresetList(HWND dialog)
{
    const HWND list = GetDlgItem(dialog, IDC_MAIN_PRESET_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < g_presets.GetSize(); ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g_presets[i].Name.GetString()));
    if (OffersNewPreset()) {
        wchar_t entry[kDialogTextChars];
        CopyDialogText(L"IDS_EDITNEWPRESET", entry, kDialogTextChars);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void ShowSelection(HWND dialog)
{
    const HWND tree = GetDlgItem(dialog, IDC_MAIN_DEVICE_TREE);
    const int entry = SelectedListEntry(dialog);
    const bool stored = IsStoredPreset(entry);
    const TaloDeviceArray& devices = stored ? g_presets[entry].Devices : static_cast<TaloDeviceArray&>(g_catalog);
    const int shown = ShowDeviceTree(tree, devices);
    EnableWindow(tree, !stored);
    EnableWindow(GetDlgItem(dialog, IDC_MAIN_DELETE), stored);
    if (!stored && shown > 0)
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(treeItems[0]));
}
