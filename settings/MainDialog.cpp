#include "settings/MainDialog.h"

#include "settings/SettingsProcess.h"

// STAND-IN until the settings window is built: shows dialog 101 under the
// program's window title and closes on OK, Cancel or WM_CLOSE (which the dialog
// manager turns into Cancel). Replace this function with the real dialog.
INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(dialog, g_windowTitle);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}
