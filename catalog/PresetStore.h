#pragma once

#include "catalog/DeviceRecords.h"

// The presets of the current user, one key per preset under
// HKEY_CURRENT_USER\SOFTWARE\Korvath\Airvane\Setting\Preset%d, numbered from 0.

// Empties the list and loads the presets in key order; a missing key, an empty
// "Name" or a preset without one complete device ends the list. Returns the count.
int LoadPresets(TaloPresetList& list);

// Rewrites the whole "Setting" tree from the list and posts PresetsChangedMsg to
// the launcher's window. Returns 1, or 0 (nothing posted) when a preset key
// cannot be created.
int SavePresets(const TaloPresetList& list);
