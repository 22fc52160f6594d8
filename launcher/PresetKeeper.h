#pragma once

#include "foundation/Handle.h"

#include <windows.h>

// Keeps the preset in force applied while the user wants it kept (the settings
// window's "KeepApplied") or the KeepApplied policy forces it: the launcher
// re-applies it at its start, after a resume from sleep and after the device tree
// changed, by starting the settings program with "/p<n> /Q", and shows a balloon
// when that switched or failed to switch a device. Nothing runs between triggers: the only timer is the
// debounce of device changes, killed when it fires. Rules apply their presets
// through the same quiet run.

constexpr UINT ReapplyEndedMsg = WM_APP + 102; // posted when the quiet settings program has ended
constexpr UINT ChosenRunEndedMsg = WM_APP + 104; // posted when the menu's or a key's settings program has ended
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

// ReapplyEndedMsg: the balloon for what the re-apply changed or failed to change,
// then the next rule's preset that waits.
void OnReapplyEnded(HWND window);

// The settings program that the menu or a shortcut key started (process, or an
// invalid handle when it did not start): the device changes it makes while it runs
// and shortly after are its own, as a re-apply's are, and trigger none.
void WatchChosenSettingsProgram(HWND window, KernelHandle process);

// ChosenRunEndedMsg.
void OnChosenRunEnded(HWND window);

// A rule's preset: applied quietly like a re-apply (after the one that runs, in
// the order asked), it becomes the preset in force; notice is the balloon after it.
void ApplyRulePreset(HWND window, int presetIndex, const wchar_t* notice);
