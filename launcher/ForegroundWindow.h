#pragma once

#include <windows.h>

// Makes window the foreground window even when another program's window is in
// front: first with the input of both threads attached, then, if the system
// still refuses, with its foreground lock time-out set to 0 for the one call.
// Returns the result of the last SetForegroundWindow, 1 when the window already
// is in front, and 0 for no or an invalid window.
int ForceForegroundWindow(HWND window);
