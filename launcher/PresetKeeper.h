#pragma once

#include <windows.h>

// Keeps the preset in force applied while the user wants it kept (the settings
// window's "KeepApplied"): the launcher re-applies it at its start, after a
// resume from sleep and after the device tree changed, by starting the settings
// program with "/p<n> /Q", and shows a balloon when that switched or failed to
// switch a device. Nothing runs between triggers: the only timer is the
// debounce of device changes, killed when it fires.

constexpr UINT ReapplyEndedMsg = WM_APP + 102; // posted when the quiet settings program has ended
constexpr UINT_PTR kDeviceChangeTimerId = 1;

// Re-applies the preset in force now, unless a settings program runs (its next
// trigger does it), a re-apply runs already, or keeping is off. A preset in force
// whose number no longer holds its name is forgotten instead.
void ReapplyPresetInForce(HWND window);

// WM_DEVICECHANGE with DBT_DEVNODES_CHANGED: re-applies once the changes have
// settled. Changes while a re-apply runs and shortly after it are its own and are ignored.
void OnDeviceTreeChanged(HWND window);

// WM_TIMER of kDeviceChangeTimerId.
void OnDeviceChangesSettled(HWND window);

// ReapplyEndedMsg: the balloon for what the re-apply changed or failed to change.
void OnReapplyEnded(HWND window);
