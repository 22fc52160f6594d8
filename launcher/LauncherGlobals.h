#pragma once

#include "catalog/DeviceRecords.h"
#include "launcher/LauncherTexts.h"

#include <windows.h>

// The launcher's process-wide state. The registered messages and the preset
// list are set up before the entry point runs, in the order LauncherGlobals.cpp
// creates them; the rest is set by the start-up before the window is created.
// One thread uses all of it. PresetsChangedMsg is in catalog/PresetsChangedMsg.h.

// The stored presets; refilled when the settings program has rewritten them.
extern TaloPresetList Presets;

extern HINSTANCE LauncherInstance;
extern UINT TaskbarCreatedMsg;   // 0 until registered
extern HICON TrayIconImage;      // the icon of the notification area, at the small-icon size
extern LauncherTexts Texts;
