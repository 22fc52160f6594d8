#pragma once

#include "launcher/LauncherTexts.h"

#include <windows.h>

// The launcher's process-wide state. The registered messages are set up before
// the entry point runs, in the order LauncherGlobals.cpp defines them; the rest
// is set by the start-up before the window is created. One thread uses all of it.

// Registered at process start like the other programs do; the launcher does not handle it.
extern const UINT SwitchDoneMsg;

extern HINSTANCE LauncherInstance;
extern UINT TaskbarCreatedMsg;   // 0 until registered
extern HICON TrayIconImage;      // the 16 x 16 icon of the notification area
extern LauncherTexts Texts;
