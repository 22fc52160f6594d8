#include "launcher/PresetHotkeys.h"

#include <algorithm>
#include <commctrl.h>

UINT HotkeyModifiers(WORD hotkey)
{
    const BYTE flags = HIBYTE(hotkey);
    UINT modifiers = MOD_NOREPEAT;
    if (flags & HOTKEYF_CONTROL)
        modifiers |= MOD_CONTROL;
    if (flags & HOTKEYF_SHIFT)
        modifiers |= MOD_SHIFT;
    if (flags & HOTKEYF_ALT)
        modifiers |= MOD_ALT;
    return modifiers;
}

std::vector<int> PresetHotkeys::Register(const TaloPresetList& presets)
{
    UnregisterAll();
    std::vector<int> taken;
    for (int i = 0; i < presets.GetSize(); ++i) {
        const WORD hotkey = presets[i].Hotkey;
        if (LOBYTE(hotkey) == 0)
            continue;
        if (RegisterHotKey(window_, static_cast<int>(PresetHotkeyId(i)), HotkeyModifiers(hotkey), LOBYTE(hotkey)))
            registered_.push_back(i);
        else if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED)
            taken.push_back(i);
    }
    return taken;
}

int PresetHotkeys::PresetOf(WPARAM id) const
{
    if (id < PresetHotkeyId(0))
        return -1;
    const int preset = static_cast<int>(id - PresetHotkeyId(0));
    return std::find(registered_.begin(), registered_.end(), preset) != registered_.end() ? preset : -1;
}

void PresetHotkeys::UnregisterAll()
{
    for (const int preset : registered_)
        UnregisterHotKey(window_, static_cast<int>(PresetHotkeyId(preset)));
    registered_.clear();
}
