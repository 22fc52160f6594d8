#pragma once

#include <windows.h>

// The preset list of the settings window (list box 1011): the stored presets in
// their order, then the new-preset entry while fewer than kPresetLimit are stored.
// The tree below it shows the devices of the selected entry.

constexpr int kPresetLimit = 16;

// The selected entry: a preset's index, the new-preset entry's (the number of
// presets) or LB_ERR.
int SelectedListEntry(HWND dialog);

// Whether entry names a stored preset.
bool IsStoredPreset(int entry);

// Whether the list offers the new-preset entry.
bool OffersNewPreset();

// Fills the list from the preset list and selects its first entry.
void FillPresetList(HWND dialog);

// Shows the selected preset's stored settings in the tree, read only, with
// delete enabled; or, for the new-preset entry or no selection, the devices
// found at start with their state then, to be checked by the user.
void ShowSelection(HWND dialog);
