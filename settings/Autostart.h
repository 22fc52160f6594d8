#pragma once

#include <windows.h>

// The launcher's autostart: the value "Kestrune" under the current user's Run
// key, holding the quoted path of the launcher beside this program. Check box
// 1003 of the settings window mirrors it.

// Checks the box when "Kestrune" holds this install's launcher path, quoted or
// not (compared without regard to case); another folder's launcher, a path
// with arguments or anything else leaves it unchecked. While the Autostart policy
// decides, the value is made to follow it (written, or removed) and the box shows
// the policy, disabled.
void LoadAutostartState(HWND dialog);

// After a click on the box: checked, writes "Kestrune" (the path in quotes) and starts the launcher;
// unchecked, deletes it and starts the launcher with " /e", which ends a running
// one. The box is unchecked again when the Run key cannot be created.
void ToggleAutostart(HWND dialog);
