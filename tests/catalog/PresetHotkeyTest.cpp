#include "catalog/PresetHotkey.h"

#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

WORD Key(BYTE flags, BYTE virtualKey)
{
    return MAKEWORD(virtualKey, flags);
}

TEST(PresetHotkey, TextNamesModifiersInOrderThenTheKey)
{
    const struct {
        WORD hotkey;
        const wchar_t* text;
    } rows[] = {
        {0, L""},
        {Key(HOTKEYF_CONTROL | HOTKEYF_ALT, 'T'), L"Ctrl+Alt+T"},
        {Key(HOTKEYF_ALT | HOTKEYF_SHIFT | HOTKEYF_CONTROL, '7'), L"Ctrl+Shift+Alt+7"},
        {Key(HOTKEYF_CONTROL | HOTKEYF_SHIFT, VK_F12), L"Ctrl+Shift+F12"},
        {Key(HOTKEYF_ALT | HOTKEYF_EXT, VK_HOME), L"Alt+Home"},
        {Key(HOTKEYF_CONTROL, VK_NUMPAD3), L"Ctrl+Num 3"},
        {Key(HOTKEYF_CONTROL, VK_SPACE), L"Ctrl+Space"},
        {Key(HOTKEYF_CONTROL, 0xE8), L"Ctrl+0xE8"}, // unassigned: no name, no character
        {Key(HOTKEYF_CONTROL | HOTKEYF_ALT, 0), L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hotkey);
        EXPECT_EQ(row.text, HotkeyText(row.hotkey));
    }
}

TEST(PresetHotkey, AKeyTakenByOnePresetLeavesTheOthers)
{
    TaloPresetList presets;
    const WORD ctrlAltHome = Key(HOTKEYF_CONTROL | HOTKEYF_ALT, VK_HOME);
    const WORD keys[] = {ctrlAltHome, static_cast<WORD>(ctrlAltHome | (HOTKEYF_EXT << 8)),
                         Key(HOTKEYF_CONTROL, VK_HOME), ctrlAltHome};
    for (const WORD key : keys) {
        TALO_PRESET preset = PresetOf(L"P", {DeviceRecord(L"Wireless LAN", L"Net", L"PCI\\VEN_168C", 1)});
        preset.Hotkey = key;
        presets.SetAtGrow(presets.GetSize(), preset);
    }
    TakeHotkeyFromOthers(presets, 1);
    EXPECT_EQ(0, presets[0].Hotkey) << "the same key on the other keypad";
    EXPECT_EQ(keys[1], presets[1].Hotkey);
    EXPECT_EQ(keys[2], presets[2].Hotkey) << "other modifiers: another key";
    EXPECT_EQ(0, presets[3].Hotkey);

    TakeHotkeyFromOthers(presets, 4); // no such preset
    TakeHotkeyFromOthers(presets, 0); // no key to take
    EXPECT_EQ(keys[1], presets[1].Hotkey);
    EXPECT_EQ(keys[2], presets[2].Hotkey);
}

} // namespace
