#pragma once

#include <windows.h>

// The dialog procedure of the settings window (dialog 101), which the program
// creates modeless when started without arguments. Destroying the dialog posts
// WM_QUIT, which ends the program's message loop.
INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
