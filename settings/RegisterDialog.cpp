#include "settings/RegisterDialog.h"

#include "catalog/PresetHotkey.h"
#include "catalog/PresetStore.h"
#include "settings/DialogTexts.h"
#include "settings/HotkeyControl.h"
#include "settings/SettingsProcess.h"
#include "settings/SettingsResources.h"

namespace {

constexpr int kNameLimit = 32;
constexpr int kNameChars = 128;
constexpr wchar_t kCaptionKey[] = L"GUIREG_NAME";

constexpr ControlText kControlTexts[] = {
    {IDC_REGISTER_DESCRIPTION, L"IDC_REG_DESCLIPTION"},
    {IDC_REGISTER_NAME_LABEL, L"IDC_LBL_NEWPRESETNAME"},
    {IDC_REGISTER_HOTKEY_LABEL, L"IDC_LBL_HOTKEY"},
    {IDOK, L"IDOK_REGISTER"},
    {IDC_REGISTER_APPLY_ONLY, L"IDC_APPLYONLY"},
    {IDCANCEL, L"IDC_IDCANCEL"},
};

// The preset the dialog names, held by the dialog until it has gone to the
// preset list; null after that.
TALO_PRESET* PendingPreset(HWND dialog)
{
    return reinterpret_cast<TALO_PRESET*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// A preset without devices would end the stored list where it is read back, so
// it can only be applied, never stored.
bool CanStore(const TALO_PRESET* preset)
{
    return preset && preset->Devices.GetSize() > 0;
}

void InitRegisterDialog(HWND dialog, TALO_PRESET* preset)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(preset));
    SetCaptionByKey(dialog, kCaptionKey);
    SetControlTexts(dialog, kControlTexts);
    SendDlgItemMessageW(dialog, IDC_REGISTER_NAME, EM_LIMITTEXT, kNameLimit, 0);
    PrepareHotkeyControl(GetDlgItem(dialog, IDC_REGISTER_HOTKEY));
    EnableWindow(GetDlgItem(dialog, IDOK), CanStore(preset));
    SetFocus(GetDlgItem(dialog, IDC_REGISTER_NAME));
}

// Register: false, after a warning, while the name is empty. The shortcut key
// goes with the name: a preset applied once is gone before any key could apply it.
bool TakeNameAndKey(HWND dialog, TALO_PRESET& preset)
{
    wchar_t name[kNameChars] = L"";
    GetDlgItemTextW(dialog, IDC_REGISTER_NAME, name, kNameChars);
    if (name[0] == L'\0') {
        wchar_t caption[kCaptionChars];
        CopyDialogText(kCaptionKey, caption, kCaptionChars);
        ShowTextMessage(dialog, L"ERROR_INPUTNAME", caption, MB_ICONWARNING);
        return false;
    }
    preset.Name = name;
    preset.Hotkey = HotkeyOf(GetDlgItem(dialog, IDC_REGISTER_HOTKEY));
    return true;
}

// Register and apply only: the pending preset goes after the user's presets, before
// the administrator's, once; register also stores the list, which tells the
// launcher, and takes the new preset's shortcut key from any other preset.
INT_PTR OnRegisterCommand(HWND dialog, int id)
{
    TALO_PRESET* const preset = PendingPreset(dialog);
    switch (id) {
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDOK:
        if (!CanStore(preset) || !TakeNameAndKey(dialog, *preset))
            return TRUE;
        break;
    case IDC_REGISTER_APPLY_ONLY:
        if (!preset)
            return TRUE;
        break;
    default:
        return FALSE;
    }
    const int at = UserPresetCount(g_presets);
    g_presets.SetAtGrow(g_presets.GetSize(), *preset);
    for (int i = g_presets.GetSize() - 1; i > at; --i)
        g_presets[i] = g_presets[i - 1];
    g_presets[at] = *preset;
    SetWindowLongPtrW(dialog, DWLP_USER, 0);
    if (id == IDOK) {
        TakeHotkeyFromOthers(g_presets, g_presets.GetSize() - 1);
        SavePresets(g_presets);
    }
    EndDialog(dialog, id);
    return TRUE;
}

INT_PTR CALLBACK RegisterDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        InitRegisterDialog(dialog, reinterpret_cast<TALO_PRESET*>(lParam));
        return FALSE; // the focus is in the name field already
    case WM_COMMAND:
        return OnRegisterCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}

} // namespace

int RegisterNewPreset(HWND owner, TALO_PRESET& preset)
{
    const INT_PTR result = DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_REGISTER), owner, RegisterDlgProc,
                                           reinterpret_cast<LPARAM>(&preset));
    return result == IDOK || result == IDC_REGISTER_APPLY_ONLY ? 1 : 0;
}
