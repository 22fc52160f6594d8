#pragma once

#include <windows.h>

// The launcher's autostart: the value "Kestrune" under the current user's Run
// key, holding the launcher's path beside this program, unquoted. Check box 1003
// of the settings window mirrors it.

// Checks the box when "Kestrune" holds this install's launcher path (compared
// without regard to case); a quoted path, another folder's or a longer value
// than a path can be leaves it unchecked.
void LoadAutostartState(HWND dialog);

// After a click on the box: checked, writes "Kestrune" and starts the launcher;
// unchecked, deletes it and starts the launcher with " /e", which ends a running
// one. The box is unchecked again when the Run key cannot be created.
void ToggleAutostart(HWND dialog);
