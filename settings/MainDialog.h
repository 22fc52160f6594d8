#pragma once

#include <windows.h>

// The settings window (dialog 101), which the program creates modeless when
// started without arguments: the preset list and the device tree of the
// selection, the selected preset's shortcut key, delete, the launcher's
// autostart box, and OK, which applies the selected preset (a new one made
// through the register dialog first) and closes the window. Destroying the dialog posts WM_QUIT, which ends the program's
// message loop.
INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
