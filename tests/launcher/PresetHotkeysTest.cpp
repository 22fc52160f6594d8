#include "launcher/PresetHotkeys.h"

#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

TEST(PresetHotkeys, ModifiersMapToTheSystemsWithoutRepeat)
{
    const struct {
        BYTE flags;
        UINT modifiers;
    } rows[] = {
        {0, MOD_NOREPEAT},
        {HOTKEYF_CONTROL, MOD_CONTROL | MOD_NOREPEAT},
        {HOTKEYF_SHIFT | HOTKEYF_ALT, MOD_SHIFT | MOD_ALT | MOD_NOREPEAT},
        {HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.flags);
        EXPECT_EQ(row.modifiers, HotkeyModifiers(MAKEWORD('T', row.flags)));
    }
}

// A hidden window of the test's thread, for the keys to be registered for.
class KeyWindow {
public:
    KeyWindow() : window_(CreateWindowExW(0, L"Static", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) {}
    ~KeyWindow() { DestroyWindow(window_); }
    KeyWindow(const KeyWindow&) = delete;
    KeyWindow& operator=(const KeyWindow&) = delete;
    HWND Get() const { return window_; }

private:
    HWND window_;
};

// One preset per key, in order.
const TaloPresetList& PresetsWithKeys(std::initializer_list<WORD> keys)
{
    static TaloPresetList presets;
    presets.RemoveAll();
    for (const WORD key : keys) {
        TALO_PRESET preset = PresetOf(L"P", {DeviceRecord(L"Wireless LAN", L"Net", L"PCI\\VEN_168C", 1)});
        preset.Hotkey = key;
        presets.SetAtGrow(presets.GetSize(), preset);
    }
    return presets;
}

constexpr WORD kCtrlAltF9 = MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT);
constexpr WORD kCtrlAltF10 = MAKEWORD(VK_F10, HOTKEYF_CONTROL | HOTKEYF_ALT);

TEST(PresetHotkeys, RegistersEachKeyOnceAndNamesThoseHeldElsewhere)
{
    KeyWindow first;
    KeyWindow second;
    ASSERT_TRUE(first.Get() && second.Get());
    PresetHotkeys held(first.Get());
    EXPECT_TRUE(held.Register(PresetsWithKeys({kCtrlAltF9})).empty());

    PresetHotkeys keys(second.Get());
    const std::vector<int> taken = keys.Register(PresetsWithKeys({kCtrlAltF9, 0, kCtrlAltF10, kCtrlAltF10}));
    EXPECT_EQ(taken, std::vector<int>({0, 3})) << "held by the other window, and by preset 2";
    EXPECT_EQ(keys.PresetOf(PresetHotkeyId(2)), 2);
    for (const int preset : {0, 1, 3, 4, -1})
        EXPECT_EQ(keys.PresetOf(PresetHotkeyId(preset)), -1) << preset;

    // Registered again, the keys registered before are given back first.
    EXPECT_TRUE(keys.Register(PresetsWithKeys({kCtrlAltF10})).empty());
    EXPECT_EQ(keys.PresetOf(PresetHotkeyId(0)), 0);
    EXPECT_EQ(keys.PresetOf(PresetHotkeyId(2)), -1);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(RegisterHotKey(first.Get(), 9, MOD_CONTROL | MOD_ALT, VK_F10));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_HOTKEY_ALREADY_REGISTERED));
}

TEST(PresetHotkeys, DestroyingGivesTheKeysBack)
{
    KeyWindow window;
    {
        PresetHotkeys keys(window.Get());
        ASSERT_TRUE(keys.Register(PresetsWithKeys({kCtrlAltF9})).empty());
    }
    ASSERT_TRUE(RegisterHotKey(window.Get(), 9, MOD_CONTROL | MOD_ALT, VK_F9));
    UnregisterHotKey(window.Get(), 9);
}

} // namespace
