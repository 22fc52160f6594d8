#include "catalog/PresetHotkey.h"

#include <commctrl.h>

namespace {

struct KeyName {
    BYTE virtualKey;
    const wchar_t* name;
};

// Fixed English names, so that the text does not depend on the keyboard layout
// (the console prints it in JSON for scripts).
constexpr KeyName kKeyNames[] = {
    {VK_BACK, L"Backspace"}, {VK_TAB, L"Tab"},          {VK_RETURN, L"Enter"},     {VK_PAUSE, L"Pause"},
    {VK_ESCAPE, L"Esc"},     {VK_SPACE, L"Space"},      {VK_PRIOR, L"Page Up"},    {VK_NEXT, L"Page Down"},
    {VK_END, L"End"},        {VK_HOME, L"Home"},        {VK_LEFT, L"Left"},        {VK_UP, L"Up"},
    {VK_RIGHT, L"Right"},    {VK_DOWN, L"Down"},        {VK_SNAPSHOT, L"Print"},   {VK_INSERT, L"Insert"},
    {VK_DELETE, L"Delete"},  {VK_MULTIPLY, L"Num *"},   {VK_ADD, L"Num +"},        {VK_SUBTRACT, L"Num -"},
    {VK_DECIMAL, L"Num ."},  {VK_DIVIDE, L"Num /"},     {VK_NUMLOCK, L"Num Lock"}, {VK_SCROLL, L"Scroll Lock"},
};

std::wstring KeyText(BYTE virtualKey)
{
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return std::wstring(1, static_cast<wchar_t>(virtualKey));
    if (virtualKey >= VK_F1 && virtualKey <= VK_F24)
        return L"F" + std::to_wstring(virtualKey - VK_F1 + 1);
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9)
        return L"Num " + std::to_wstring(virtualKey - VK_NUMPAD0);
    for (const KeyName& key : kKeyNames) {
        if (key.virtualKey == virtualKey)
            return key.name;
    }
    // Punctuation: the character the key types on this keyboard.
    const UINT character = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_CHAR) & 0x7FFFFFFF;
    if (character > L' ')
        return std::wstring(1, static_cast<wchar_t>(character));
    wchar_t code[8];
    wsprintfW(code, L"0x%02X", virtualKey);
    return code;
}

} // namespace

WORD StoredHotkey(DWORD value)
{
    return value > 0xFFFF || LOBYTE(value) == 0 ? 0 : static_cast<WORD>(value);
}

std::wstring HotkeyText(WORD hotkey)
{
    if (LOBYTE(hotkey) == 0)
        return std::wstring();
    const BYTE flags = HIBYTE(hotkey);
    std::wstring text;
    if (flags & HOTKEYF_CONTROL)
        text += L"Ctrl+";
    if (flags & HOTKEYF_SHIFT)
        text += L"Shift+";
    if (flags & HOTKEYF_ALT)
        text += L"Alt+";
    return text + KeyText(LOBYTE(hotkey));
}

void TakeHotkeyFromOthers(TaloPresetList& presets, int index)
{
    if (index < 0 || index >= presets.GetSize() || presets[index].Hotkey == 0)
        return;
    // HOTKEYF_EXT tells two keys of one code apart for the control only; the system sees one key.
    const WORD key = presets[index].Hotkey & ~(HOTKEYF_EXT << 8);
    for (int i = 0; i < presets.GetSize(); ++i) {
        if (i != index && (presets[i].Hotkey & ~(HOTKEYF_EXT << 8)) == key)
            presets[i].Hotkey = 0;
    }
}
