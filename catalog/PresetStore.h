#pragma once

#include "catalog/DeviceRecords.h"

// The presets of the current user, one key per preset under
// HKEY_CURRENT_USER\SOFTWARE\Korvath\Airvane\Setting\Preset%d, numbered from 0.

// Empties the list and loads the presets in key order; a missing key, an empty
// "Name" or a preset without one complete device ends the list. First finishes
// or undoes a save that was cut short (see PresetSwap.h). Returns the count.
int LoadPresets(TaloPresetList& list);

// Replaces the whole "Setting" tree by the list and posts PresetsChangedMsg to
// the launcher's window. A save cut short at any point leaves the old list or the
// new one. Returns 1, or 0 (nothing posted, the old list kept) when a key or value
// cannot be written or another save holds the presets for seconds.
int SavePresets(const TaloPresetList& list);
