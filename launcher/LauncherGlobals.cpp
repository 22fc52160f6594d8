#include "launcher/LauncherGlobals.h"

#include "foundation/Names.h"

// Process initialisation, in this order, before the entry point runs.
const UINT SwitchDoneMsg = RegisterWindowMessageW(kSwitchDoneMessage);

HINSTANCE LauncherInstance = nullptr;
UINT TaskbarCreatedMsg = 0;
HICON TrayIconImage = nullptr;
LauncherTexts Texts = {};
