#pragma once

// Asks the settings window of another instance, found by its title, to close:
// WM_CLOSE at most five times, one second apart, until the window is gone.
// An empty title names no window.
void CloseRunningSettingsWindow(const wchar_t* windowTitle);
