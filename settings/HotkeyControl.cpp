#include "settings/HotkeyControl.h"

#include <commctrl.h>

void PrepareHotkeyControl(HWND control)
{
    SendMessageW(control, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
}

WORD HotkeyOf(HWND control)
{
    const WORD hotkey = LOWORD(SendMessageW(control, HKM_GETHOTKEY, 0, 0));
    return LOBYTE(hotkey) != 0 ? hotkey : 0;
}

void ShowHotkey(HWND control, WORD hotkey)
{
    SendMessageW(control, HKM_SETHOTKEY, hotkey, 0);
}
