#include "launcher/LauncherGlobals.h"

#include "catalog/PresetStore.h"
#include "catalog/PresetsChangedMsg.h"
#include "foundation/Names.h"

// Process initialisation, in this order, before the entry point runs: the two
// registered messages (the launcher handles only the first), then the presets.
const UINT presetsChanged = RegisterPresetsChangedMsg();
const UINT switchDone = RegisterWindowMessageW(kSwitchDoneMessage);
TaloPresetList Presets;
const int presetCount = LoadPresets(Presets);

HINSTANCE LauncherInstance = nullptr;
UINT TaskbarCreatedMsg = 0;
HICON TrayIconImage = nullptr;
LauncherTexts Texts = {};
