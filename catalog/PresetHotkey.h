#pragma once

#include "catalog/DeviceRecords.h"

#include <string>

// A preset's shortcut key, as a hotkey control gives it: the low byte is the
// virtual-key code, the high byte the HOTKEYF_* flags (Shift, Ctrl, Alt, and
// HOTKEYF_EXT for a key of the extended set). 0 is no key.

// The stored value as a key: none when it has no virtual-key code or bits above the word.
WORD StoredHotkey(DWORD value);

// The key as people write it, "Ctrl+Alt+T": modifiers in the order Ctrl, Shift, Alt,
// then the key's name in English. Empty for no key.
std::wstring HotkeyText(WORD hotkey);

// A key selects one preset: the presets other than index lose the key of preset index.
void TakeHotkeyFromOthers(TaloPresetList& presets, int index);
