#pragma once

#include "catalog/DeviceRecords.h"

#include <memory>
#include <windows.h>

// The preset being made from the tree's check marks: created by ApplySelection
// for the new-preset entry, filled by PrepareNewPreset and moved into the preset
// list by the register dialog. None at any other time.
extern std::unique_ptr<TALO_PRESET> pendingPreset;

// OK of the settings window: applies the selected stored preset, or first makes
// a new preset through the register dialog. Returns 1 when the preset was applied
// and the window is to close, 0 when it stays open (the register dialog was
// cancelled, or nothing is selected while no new preset can be made).
int ApplySelection(HWND dialog);
