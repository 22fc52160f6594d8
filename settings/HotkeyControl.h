#pragma once

#include <windows.h>

// The hotkey controls of the settings window and the register dialog, which
// take a preset's shortcut key in the form the preset stores it (see
// catalog/PresetHotkey.h).

// A key without Ctrl or Alt, alone or with Shift, would take a key from typing
// everywhere: the control adds Ctrl+Alt to it.
void PrepareHotkeyControl(HWND control);

// The key the control shows; 0 when it shows none or only modifiers.
WORD HotkeyOf(HWND control);

void ShowHotkey(HWND control, WORD hotkey);
