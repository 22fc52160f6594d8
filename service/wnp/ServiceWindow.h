#pragma once

#include <windows.h>

// The hidden window that anchors the service: its creation creates the request
// block, WM_CLOSE stops the service in order.
DWORD WINAPI ServiceWindowThread(void* unused);
LRESULT CALLBACK ServiceWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
