#pragma once

#include <windows.h>

// The registered message that tells the launcher the presets in the registry were
// rewritten, sent with wParam and lParam 0. Zero until RegisterPresetsChangedMsg
// has run; while it is zero, SavePresets posts nothing.
extern UINT PresetsChangedMsg;

// Registers "TALO4DF5E70F46DF44C0A0D34D9F39C31B00", stores its number in
// PresetsChangedMsg and returns it. Each program calls it first in its process
// initialisation, from the one file that creates its process-wide objects in order:
//     const UINT presetsChanged = RegisterPresetsChangedMsg();
//     const UINT switchDone = RegisterSwitchDoneMsg();
//     CDeviceCatalog catalog;            // the settings program: then the catalog,
//     TaloPresetList presets;            // and the presets
//     const int presetCount = LoadPresets(presets);
UINT RegisterPresetsChangedMsg();
