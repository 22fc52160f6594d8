#pragma once

#include <windows.h>

// Applies the user's rules: when the network cable is plugged in or pulled, the
// power source changes or the dock's device comes or goes, the preset of the
// rule for that event becomes the preset in force, applied quietly with a
// balloon. Changes are settled for two seconds first (a one-shot timer), and of
// several events in that time the later one wins. At the start the rules that
// match the machine's state apply once: cable, then power, then dock.

constexpr UINT CableChangedMsg = WM_APP + 103; // posted from the interface-change callback
constexpr UINT_PTR kRuleEventTimerId = 2;

// WM_CREATE: watches the cable, notes the state and applies the rules that match
// it. Returns true when a rule's preset was started.
bool StartRules(HWND window);
// WM_DESTROY: ends the cable watch.
void StopRules();

// CableChangedMsg, WM_POWERBROADCAST with PBT_APMPOWERSTATUSCHANGE, and
// WM_DEVICECHANGE with DBT_DEVNODES_CHANGED (the dock).
void OnCableChanged(HWND window);
void OnPowerSourceChanged(HWND window);
void OnDevicesChangedForRules(HWND window);

// WM_TIMER of kRuleEventTimerId: the settled events' rule applies.
void OnRuleEventsSettled(HWND window);
