#pragma once

#include "catalog/DeviceRecords.h"

#include <windows.h>

// The register-preset dialog (dialog 102), modal over the settings window: it
// names a new preset made from the tree's check marks, and stores and applies
// it (register, IDOK), applies it without storing it (apply only,
// IDC_REGISTER_APPLY_ONLY) or cancels (IDCANCEL).

// Runs the dialog over owner on preset, which holds the new preset's devices.
// Returns 1 when a copy of the preset, named on register, now stands at the end
// of the preset list (register or apply only), 0 when the user cancelled or the
// dialog could not be shown.
int RegisterNewPreset(HWND owner, TALO_PRESET& preset);
