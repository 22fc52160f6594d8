#pragma once

#include <windows.h>

// The register-preset dialog (dialog 102), modal over the settings window: it
// names the new preset made from the tree's check marks, and stores and applies
// it (register, IDOK), applies it without storing it (apply only,
// IDC_REGISTER_APPLY_ONLY) or cancels (IDCANCEL).

// Fills pendingPreset with the devices of the tree (the catalog's records with
// the tree's check marks) and runs the dialog over dialog. Returns 1 when the
// new preset now stands at the end of the preset list (register or apply only),
// 0 when the user cancelled or the dialog could not be shown.
int PrepareNewPreset(HWND dialog);

INT_PTR CALLBACK RegisterDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
