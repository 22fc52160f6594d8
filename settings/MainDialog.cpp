#include "settings/MainDialog.h"

#include "catalog/PolicySettings.h"
#include "catalog/PresetApply.h"
#include "catalog/PresetInForce.h"
#include "catalog/PresetHotkey.h"
#include "catalog/PresetStore.h"
#include "foundation/CcException.h"
#include "settings/Autostart.h"
#include "settings/DeviceTree.h"
#include "settings/DialogTexts.h"
#include "settings/HotkeyControl.h"
#include "settings/ProgressWindow.h"
#include "settings/RegisterDialog.h"
#include "settings/RulesDialog.h"
#include "settings/SettingsProcess.h"
#include "settings/SettingsResources.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// The preset list (list box 1011) shows the stored presets in their order, the
// administrator's after the user's, then the new-preset entry while the user has
// fewer than this many and policy lets users make presets.
constexpr int kPresetLimit = 16;

// Before the name of a preset set by the administrator: a lock.
constexpr wchar_t kManagedMark[] = L"\U0001F512 ";

constexpr ControlText kControlTexts[] = {
    {IDC_MAIN_TITLE, L"IDC_PROGRAM_TITLE"},
    {IDC_MAIN_COPYRIGHT, L"IDC_COPYRIGHT"},
    {IDC_MAIN_DESCRIPTION, L"IDC_MAIN_DESC"},
    {IDC_MAIN_PRESET_LABEL, L"IDC_LBL_PRESET"},
    {IDC_MAIN_STATUS_LABEL, L"IDC_LBL_STATUS"},
    {IDC_MAIN_HOTKEY_LABEL, L"IDC_LBL_HOTKEY"},
    {IDC_MAIN_HOTKEY_SET, L"IDC_SETHOTKEY"},
    {IDC_MAIN_AUTOSTART, L"IDC_LBL_TRAYICON"},
    {IDC_MAIN_KEEP_APPLIED, L"IDC_KEEPAPPLIED"},
    {IDC_MAIN_DELETE, L"IDC_DELETE_PRESER"},
    {IDC_MAIN_RULES, L"IDC_RULES"},
    {IDOK, L"IDC_IDOK"},
    {IDCANCEL, L"IDC_IDCANCEL"},
};

// The selected entry: a preset's index, the new-preset entry's (the number of
// presets) or LB_ERR.
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
    return UserPresetCount(g_presets) < kPresetLimit && UserPresetsAllowed();
}

// A preset the user may delete: one of their own, while policy lets users delete presets.
bool IsDeletablePreset(int entry)
{
    return IsStoredPreset(entry) && !g_presets[entry].Managed && UserPresetsAllowed();
}

// Fills the list from the preset list and selects its first entry.
void FillPresetList(HWND dialog)
{
    const HWND list = GetDlgItem(dialog, IDC_MAIN_PRESET_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < g_presets.GetSize(); ++i) {
        const std::wstring name = (g_presets[i].Managed ? kManagedMark : L"") + std::wstring(g_presets[i].Name);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    if (OffersNewPreset()) {
        wchar_t entry[kDialogTextChars];
        CopyDialogText(L"IDS_EDITNEWPRESET", entry, kDialogTextChars);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
}

// A stored preset's shortcut key can be changed; the new preset gets its key
// in the register dialog.
void ShowSelectedHotkey(HWND dialog, int entry)
{
    const bool stored = IsStoredPreset(entry);
    const bool editable = stored && !g_presets[entry].Managed; // the administrator's keys stay as set
    const HWND control = GetDlgItem(dialog, IDC_MAIN_HOTKEY);
    ShowHotkey(control, stored ? g_presets[entry].Hotkey : 0);
    EnableWindow(control, editable);
    EnableWindow(GetDlgItem(dialog, IDC_MAIN_HOTKEY_SET), editable);
}

// Set key: the selected preset gets the key the control shows (none removes
// its key), taken from any other preset, and the list is stored (the launcher
// is told). A save that fails leaves every preset with its stored key.
void SetSelectedHotkey(HWND dialog)
{
    const int entry = SelectedListEntry(dialog);
    if (!IsStoredPreset(entry) || g_presets[entry].Managed)
        return;
    std::vector<WORD> stored(static_cast<size_t>(g_presets.GetSize()));
    for (int i = 0; i < g_presets.GetSize(); ++i)
        stored[i] = g_presets[i].Hotkey;
    g_presets[entry].Hotkey = HotkeyOf(GetDlgItem(dialog, IDC_MAIN_HOTKEY));
    TakeHotkeyFromOthers(g_presets, entry);
    if (!SavePresets(g_presets)) {
        for (int i = 0; i < g_presets.GetSize(); ++i)
            g_presets[i].Hotkey = stored[i];
    }
    ShowSelectedHotkey(dialog, entry);
}

// Shows the selected preset's stored settings in the tree, read only, with
// delete enabled; or, for the new-preset entry or no selection, the devices
// found at start with their state then, to be checked by the user.
void ShowSelection(HWND dialog)
{
    const HWND tree = GetDlgItem(dialog, IDC_MAIN_DEVICE_TREE);
    const int entry = SelectedListEntry(dialog);
    const bool stored = IsStoredPreset(entry);
    const TaloDeviceArray& devices = stored ? g_presets[entry].Devices : static_cast<TaloDeviceArray&>(g_catalog);
    const int shown = ShowDeviceTree(tree, devices);
    EnableWindow(tree, !stored);
    const HWND deleteButton = GetDlgItem(dialog, IDC_MAIN_DELETE);
    EnableWindow(deleteButton, IsDeletablePreset(entry));
    ShowWindow(deleteButton, UserPresetsAllowed() ? SW_SHOW : SW_HIDE);
    ShowSelectedHotkey(dialog, entry);
    if (!stored && shown > 0)
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(treeItems[0]));
}

// Deletes the selected preset of the user's own once the user has confirmed it: the
// following presets move up one place, the list is stored again (the launcher
// is told), and the window shows the list from its first entry.
void DeleteSelectedPreset(HWND dialog)
{
    // Delete is enabled only for a stored preset, but its command can still be posted.
    const int entry = SelectedListEntry(dialog);
    if (!IsDeletablePreset(entry))
        return;
    if (ShowTextMessage(dialog, L"MSG_DELETEPRESET", g_windowTitle, MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    g_presets.RemoveAt(entry, 1);
    SavePresets(g_presets);
    FillPresetList(dialog);
    PostMessageW(dialog, WM_COMMAND, IDC_MAIN_PRESET_LIST, 0);
}

// The devices the tree shows (the catalog's records, read from items that
// exist) with the tree's check marks, named by the user in the register dialog.
// True when the new preset now stands after the user's presets, at index.
bool MakeNewPreset(HWND dialog, int index)
{
    const std::unique_ptr<TALO_PRESET> preset(CheckAllocation(new (std::nothrow) TALO_PRESET));
    const HWND tree = GetDlgItem(dialog, IDC_MAIN_DEVICE_TREE);
    const int count = g_catalog.GetSize() < treeItemCount ? g_catalog.GetSize() : treeItemCount;
    TaloDeviceArray& devices = preset->Devices;
    for (int i = 0; i < count; ++i) {
        const TALO_DEVICEINFO& found = g_catalog[i];
        devices.SetSize(devices.GetSize() + 1);
        TALO_DEVICEINFO& device = devices[devices.GetSize() - 1];
        device.DeviceName = found.DeviceName;
        device.Class = found.Class;
        device.HwId = found.HwId;
        device.Setting = IsTreeItemChecked(tree, i) ? 1 : 0;
    }
    return RegisterNewPreset(dialog, *preset) && index < g_presets.GetSize();
}

// OK: applies the selected stored preset, or first makes a new preset through
// the register dialog. True when the preset was applied and the window is to
// close; false when it stays open (the register dialog was cancelled, or
// nothing is selected while no new preset can be made).
bool ApplySelection(HWND dialog)
{
    int index = SelectedListEntry(dialog);
    if (!IsStoredPreset(index)) {
        // The new-preset entry, or no selection while the tree shows the devices found.
        if (!OffersNewPreset())
            return false;
        index = UserPresetCount(g_presets);
        if (!MakeNewPreset(dialog, index))
            return false;
    }
    // A new preset applied without being stored has no name and cannot be kept applied.
    if (g_presets[index].Name.IsEmpty())
        ForgetPresetInForce();
    else
        RecordPresetInForce(index, g_presets[index].Name);
    const HWND description = GetDlgItem(dialog, IDC_MAIN_DESCRIPTION);
    SetItemTextByKey(dialog, L"IDS_CHANGESETTING", IDC_MAIN_DESCRIPTION);
    UpdateWindow(description); // no message is handled until the preset is applied
    CPresetProgress progress(dialog, g_textMgr);
    ApplyPreset(g_presets, index, &g_catalog, progress);
    SetItemTextByKey(dialog, L"IDS_CHANGEDONE", IDC_MAIN_DESCRIPTION);
    return true;
}

// The keep-applied box: the policy's value, disabled, while the KeepApplied policy decides;
// else the user's choice.
void LoadKeepAppliedState(HWND dialog)
{
    CheckDlgButton(dialog, IDC_MAIN_KEEP_APPLIED, KeepsPresetApplied() ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_MAIN_KEEP_APPLIED),
                 ReadKeepAppliedPolicy() == KeepAppliedPolicy::UserDecides);
}

void ToggleKeepApplied(HWND dialog)
{
    // The box is disabled while policy decides, but its command can still be posted: the
    // user's stored choice stays as it was.
    if (ReadKeepAppliedPolicy() != KeepAppliedPolicy::UserDecides) {
        LoadKeepAppliedState(dialog);
        return;
    }
    SetKeepsPresetApplied(IsDlgButtonChecked(dialog, IDC_MAIN_KEEP_APPLIED) == BST_CHECKED);
}

void InitMainDialog(HWND dialog)
{
    // The window title as "/e" looks for it: "GUIWIN_NAME" cut like every title.
    SetWindowTextW(dialog, g_windowTitle);
    SetControlTexts(dialog, kControlTexts);
    SetClassLongPtrW(dialog, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconW(g_instance, MAKEINTRESOURCEW(IDI_SETTINGS))));
    PrepareDeviceTree(GetDlgItem(dialog, IDC_MAIN_DEVICE_TREE));
    PrepareHotkeyControl(GetDlgItem(dialog, IDC_MAIN_HOTKEY));
    FillPresetList(dialog);
    PostMessageW(dialog, WM_COMMAND, IDC_MAIN_PRESET_LIST, 0); // shows the selection once the dialog is up
    LoadAutostartState(dialog);
    LoadKeepAppliedState(dialog);
}

INT_PTR OnMainCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDC_MAIN_PRESET_LIST:
        // The list losing the focus changes nothing it shows. Rebuilding the tree
        // then would undo the check mark the user set with the click that took it.
        if (notification != LBN_KILLFOCUS)
            ShowSelection(dialog);
        return FALSE;
    case IDC_MAIN_AUTOSTART:
        ToggleAutostart(dialog);
        return FALSE;
    case IDC_MAIN_KEEP_APPLIED:
        ToggleKeepApplied(dialog);
        return FALSE;
    case IDC_MAIN_DELETE:
        DeleteSelectedPreset(dialog);
        return FALSE;
    case IDC_MAIN_HOTKEY_SET:
        SetSelectedHotkey(dialog);
        return FALSE;
    case IDC_MAIN_RULES:
        EditRules(dialog);
        return FALSE;
    case IDOK:
        if (ApplySelection(dialog))
            DestroyWindow(dialog);
        return TRUE;
    case IDCANCEL: // also Esc and WM_CLOSE
        DestroyWindow(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        InitMainDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnMainCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        PostQuitMessage(0); // ends the program's message loop
        return TRUE;
    default:
        return FALSE;
    }
}
