#pragma once

#include "catalog/DeviceRecords.h"

// The presets of the current user, one key per preset under
// HKEY_CURRENT_USER\SOFTWARE\Korvath\Airvane\Setting\Preset%d, numbered from 0;
// after them the administrator's, in the same layout under
// SOFTWARE\Policies\Korvath\Airvane\Presets\Preset%d of HKEY_LOCAL_MACHINE, then of
// HKEY_CURRENT_USER, marked Managed. A user's preset keeps its number whatever policy sets.

// Empties the list and loads the user's presets in key order, then the policy
// presets; within each tree a missing key, an empty "Name" or a preset without one
// complete device ends it. First finishes or undoes a save that was cut short (see
// PresetSwap.h). Returns the count.
int LoadPresets(TaloPresetList& list);

// The number of the user's own presets: they lead the list, the managed ones follow.
int UserPresetCount(const TaloPresetList& list);

// Replaces the whole "Setting" tree by the user's presets of the list (managed ones
// are left out: policy is never written) and posts PresetsChangedMsg to the
// launcher's window. A save cut short at any point leaves the old list or the new
// one. Returns 1, or 0 (nothing posted, the old list kept) when a key or value
// cannot be written or another save holds the presets for seconds.
int SavePresets(const TaloPresetList& list);
