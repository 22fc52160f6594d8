#include "settings/MainDialog.h"

#include "settings/ApplySelection.h"
#include "settings/Autostart.h"
#include "settings/DeviceTree.h"
#include "settings/DialogTexts.h"
#include "settings/PresetDelete.h"
#include "settings/PresetList.h"
#include "settings/SettingsProcess.h"
#include "settings/SettingsResources.h"

namespace {

struct ControlText {
    int id;
    const wchar_t* key;
};

constexpr ControlText kControlTexts[] = {
    {IDC_MAIN_TITLE, L"IDC_PROGRAM_TITLE"},
    {IDC_MAIN_COPYRIGHT, L"IDC_COPYRIGHT"},
    {IDC_MAIN_DESCRIPTION, L"IDC_MAIN_DESC"},
    {IDC_MAIN_PRESET_LABEL, L"IDC_LBL_PRESET"},
    {IDC_MAIN_STATUS_LABEL, L"IDC_LBL_STATUS"},
    {IDC_MAIN_AUTOSTART, L"IDC_LBL_TRAYICON"},
    {IDC_MAIN_DELETE, L"IDC_DELETE_PRESER"},
    {IDOK, L"IDC_IDOK"},
    {IDCANCEL, L"IDC_IDCANCEL"},
};

void InitMainDialog(HWND dialog)
{
    // The window title as "/e" looks for it: "GUIWIN_NAME" cut like every title.
    SetWindowTextW(dialog, g_windowTitle);
    for (const ControlText& control : kControlTexts)
        SetItemTextByKey(dialog, control.key, control.id);
    SetClassLongPtrW(dialog, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconW(g_instance, MAKEINTRESOURCEW(IDI_SETTINGS))));
    PrepareDeviceTree(GetDlgItem(dialog, IDC_MAIN_DEVICE_TREE));
    FillPresetList(dialog);
    PostMessageW(dialog, WM_COMMAND, IDC_MAIN_PRESET_LIST, 0); // shows the selection once the dialog is up
    LoadAutostartState(dialog);
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
    case IDC_MAIN_DELETE:
        DeleteSelectedPreset(dialog);
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

INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
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
