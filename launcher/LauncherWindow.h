#pragma once

#include <windows.h>

// The hidden launcher window: it owns the notification-area icon and the
// preset menu, and ends the launcher on WM_DESTROY and at log-off.

constexpr UINT TrayCallbackMsg = WM_APP + 100; // the icon's callback; lParam is the mouse message
constexpr UINT ShowTrayMenuMsg = WM_APP + 101; // posted to itself: open the menu

constexpr UINT ID_MENU_SETTINGS = 100;    // open the settings program
constexpr UINT ID_MENU_PRESET_BASE = 200; // preset i has the id 200 + i

// Adds the icon afresh (an earlier one is removed first). A refused add leaves
// no icon until the next "TaskbarCreated".
void AddTrayIcon(HWND window);
void RemoveTrayIcon();

// A balloon at the launcher's icon (see TrayIcon::ShowNotice); false without an
// icon or when the shell refuses it.
bool ShowTrayNotice(const wchar_t* title, const wchar_t* text, bool warning = false);

LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
