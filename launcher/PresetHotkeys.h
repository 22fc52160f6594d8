#pragma once

#include "catalog/DeviceRecords.h"

#include <vector>
#include <windows.h>

// The presets' shortcut keys, registered for the launcher's window: a key's
// WM_HOTKEY carries the id PresetHotkeyId(n) of preset n.

constexpr int kFirstPresetHotkeyId = 1;

inline WPARAM PresetHotkeyId(int preset)
{
    return static_cast<WPARAM>(kFirstPresetHotkeyId + preset);
}

// The MOD_* flags of a key's HOTKEYF_* flags, with MOD_NOREPEAT: a key held down
// applies its preset once.
UINT HotkeyModifiers(WORD hotkey);

class PresetHotkeys {
public:
    explicit PresetHotkeys(HWND window) : window_(window) {}
    ~PresetHotkeys() { UnregisterAll(); }
    PresetHotkeys(const PresetHotkeys&) = delete;
    PresetHotkeys& operator=(const PresetHotkeys&) = delete;

    // Registers the keys of the presets in place of those registered before.
    // Returns the numbers of the presets whose key another program (or an
    // earlier preset) holds already.
    std::vector<int> Register(const TaloPresetList& presets);

    // The preset number of a WM_HOTKEY id, or -1 when the id is none of the presets'.
    int PresetOf(WPARAM id) const;

private:
    void UnregisterAll();

    HWND window_;
    std::vector<int> registered_; // preset numbers
};
