#pragma once

#include <windows.h>

// The rules dialog (dialog 108), modal over the settings window: the rules as
// "When <event>, apply <preset>", the administrator's first and marked, a rule
// whose preset is not stored marked too; a rule is added from the event, the
// preset and, for the dock, a present device, and one of the user's own removed.
// OK stores the user's rules, Cancel drops the changes.

// Runs the dialog over owner on the presets of g_presets. Returns 1 when the
// rules were stored, 0 when the user cancelled or the dialog could not be shown.
int EditRules(HWND owner);
