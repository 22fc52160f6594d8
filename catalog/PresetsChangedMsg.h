#pragma once

#include <windows.h>

// The registered message that tells the launcher the presets in the registry were
// rewritten. Each program defines the number once, in the one file that defines its
// process-wide objects in their order of initialisation:
//     const UINT PresetsChangedMsg = RegisterPresetsChangedMsg();
extern const UINT PresetsChangedMsg;

// Registers "TALO4DF5E70F46DF44C0A0D34D9F39C31B00" and returns its number (0 on failure).
UINT RegisterPresetsChangedMsg();
