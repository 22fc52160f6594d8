#pragma once

#include <windows.h>

// Deletes the selected stored preset once the user has confirmed it: the
// following presets move up one place, the list is stored again (the launcher
// is told), and the window shows the list from its first entry.
void DeleteSelectedPreset(HWND dialog);
