// The settings window and the register dialog on the simulated notebook, with
// the service running: presets made, applied, shown and deleted.
#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/ProgramRunner.h"
#include "automation/RegistrySnapshot.h"
#include "automation/RemoteControls.h"
#include "catalog/PresetInForce.h"
#include "catalog/PresetStore.h"
#include "catalog/RuleStore.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "settings/SettingsResources.h"
#include "sim/SimNotebook.h"
#include "tests/settings/InstalledSettingsWindow.h"
#include "tests/settings/LauncherUnderTest.h"
#include "tests/settings/SettingsInstall.h"
#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>

using namespace testdevice;

namespace {

using Names = std::vector<std::wstring>;
using Changes = std::vector<std::wstring>;

constexpr wchar_t kNewEntry[] = L"<New preset entry>";
constexpr wchar_t kModemName[] = L"UMTS modem";
constexpr wchar_t kRadioName[] = L"Bluetooth";

// The devices the tests' notebook shows, in the catalog's order, all switched on.
const Names kFound = {kSecondWlanName, kWlanName, kModemName, kRadioName};

// The presets as the programs read them back: each as its name followed by one
// "name class setting" per device.
std::vector<Names> ReadPresets()
{
    TaloPresetList list;
    LoadPresets(list);
    std::vector<Names> presets;
    for (int i = 0; i < list.GetSize(); ++i) {
        Names preset{list[i].Name.GetString()};
        for (int k = 0; k < list[i].Devices.GetSize(); ++k) {
            const TALO_DEVICEINFO& device = list[i].Devices[k];
            preset.push_back(std::wstring(device.DeviceName) + L" " + device.Class.GetString() + L" " +
                             std::to_wstring(device.Setting));
        }
        presets.push_back(preset);
    }
    return presets;
}

Names CheckedDevices(const SettingsWindow& window)
{
    Names checked;
    for (const TreeEntry& entry : window.Devices()) {
        if (entry.checked)
            checked.push_back(entry.text);
    }
    return checked;
}

// Presses the box's button and returns what the box said, as "caption|text".
std::wstring Answer(HWND box, int button)
{
    const std::wstring said = WindowText(box) + L"|" + MessageBoxText(box);
    EXPECT_TRUE(PressButton(box, button));
    EXPECT_TRUE(WaitForWindowGone(box));
    return said;
}

class SettingsWindowTest : public SettingsProgram {};

TEST_F(SettingsWindowTest, WithoutPresetsOffersTheNewPresetEntryWithTheDevicesFound)
{
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    EXPECT_EQ(Names{kNewEntry}, window.Presets());
    EXPECT_EQ(0, window.Selection());
    EXPECT_EQ(kFound, window.DeviceNames());
    EXPECT_EQ(kFound, CheckedDevices(window)) << "every device is on, and the tree shows it once drawn";
    EXPECT_TRUE(window.TreeEnabled());
    EXPECT_FALSE(window.DeleteEnabled());

    // Every text comes from the text file by the key the template holds.
    const struct {
        int id;
        const wchar_t* text;
    } texts[] = {{IDC_MAIN_TITLE, L"Program title"},  {IDC_MAIN_COPYRIGHT, L"Copyright line"},
                 {IDC_MAIN_DESCRIPTION, L"Main description"}, {IDC_MAIN_PRESET_LABEL, L"Preset label"},
                 {IDC_MAIN_STATUS_LABEL, L"Status label"}, {IDC_MAIN_AUTOSTART, L"Tray icon box"},
                 {IDC_MAIN_DELETE, L"Delete button"}, {IDOK, L"OK button"}, {IDCANCEL, L"Cancel button"},
                 {IDC_MAIN_HOTKEY_LABEL, L"Shortcut label"}, {IDC_MAIN_HOTKEY_SET, L"Set key button"}};
    for (const auto& text : texts)
        EXPECT_EQ(text.text, DialogItemText(window.Dialog(), text.id)) << "control " << text.id;

    EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ(Changes(), StateChanges());
    EXPECT_TRUE(ReadPresets().empty());
}

TEST_F(SettingsWindowTest, RegisterStoresTheNewPresetLastAppliesItAndTheLauncherListsIt)
{
    StorePreset(0, L"Office", {{kRadioName, L"#KVBT#", L"#KVBT#", 0}});
    LauncherUnderTest launcher(Install().LauncherPath());
    ASSERT_TRUE(launcher.IsRunning());
    EXPECT_EQ(Names{L"Office"}, launcher.MenuPresets());
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    EXPECT_EQ((Names{L"Office", kNewEntry}), window.Presets());
    window.Select(1);
    ASSERT_TRUE(window.Check(1, false));

    const HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    const struct {
        int id;
        const wchar_t* text;
    } texts[] = {{IDC_REGISTER_DESCRIPTION, L"Register description"}, {IDC_REGISTER_NAME_LABEL, L"Name label"},
                 {IDOK, L"Register button"}, {IDC_REGISTER_APPLY_ONLY, L"Apply-only button"},
                 {IDCANCEL, L"Cancel button"}, {IDC_REGISTER_HOTKEY_LABEL, L"Shortcut label"}};
    for (const auto& text : texts)
        EXPECT_EQ(text.text, DialogItemText(registerDialog, text.id)) << "control " << text.id;
    // The same name again makes a second preset of that name.
    TypeName(registerDialog, L"Office");
    EXPECT_TRUE(PressButton(registerDialog, IDOK));
    EXPECT_TRUE(window.WaitForExit());

    EXPECT_EQ((std::vector<Names>{{L"Office", L"Bluetooth #KVBT# 0"},
                                  {L"Office", L"Second Wireless Adapter Net 1", L"802.11n Wireless LAN Adapter Net 0",
                                   L"UMTS modem #UMTS# 1", L"Bluetooth #KVBT# 1"}}),
              ReadPresets());
    EXPECT_EQ(Changes{L"1 off"}, StateChanges());
    EXPECT_TRUE(IsDisabled(kWlan));
    EXPECT_EQ((Names{L"Office", L"Office"}), launcher.MenuPresets());
}

TEST_F(SettingsWindowTest, RegisterDialogWantsANameCancelReturnsAndApplyOnlyStoresNothing)
{
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    window.Focus(IDC_MAIN_DEVICE_TREE);
    ASSERT_TRUE(window.Check(0, false));
    HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);

    // The warning's text is shown as it stands, never used as a format.
    const HWND warning = window.PressForMessageBox(registerDialog, IDOK);
    ASSERT_NE(nullptr, warning);
    EXPECT_EQ(std::wstring(kTestRegisterTitle) + L"|No name: %s %n %x", Answer(warning, IDOK));
    EXPECT_TRUE(IsWindowVisible(registerDialog));
    TypeName(registerDialog, std::wstring(33, L'n'));
    EXPECT_EQ(std::wstring(32, L'n'), NameField(registerDialog));

    EXPECT_TRUE(PressButton(registerDialog, IDCANCEL));
    EXPECT_TRUE(WaitForWindowGone(registerDialog));
    EXPECT_TRUE(window.IsOpen());
    EXPECT_EQ((Names{kWlanName, kModemName, kRadioName}), CheckedDevices(window)) << "the tree as it was left";

    // Apply only, with the name left empty: applied at once, stored nowhere.
    registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    EXPECT_TRUE(PressButton(registerDialog, IDC_REGISTER_APPLY_ONLY));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ(Changes{L"7 off"}, StateChanges());
    EXPECT_TRUE(ReadPresets().empty());
}

TEST_F(SettingsWindowTest, StoredPresetIsShownReadOnlyAndTheListRestoresTheFoundStates)
{
    StorePreset(0, L"Quiet", {{kWlanName, L"Net", kWlanHwId, 0}, {kRadioName, L"#KVBT#", L"#KVBT#", 1}});
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    EXPECT_EQ(0, window.Selection());
    EXPECT_EQ((Names{kWlanName, kRadioName}), window.DeviceNames());
    EXPECT_EQ(Names{kRadioName}, CheckedDevices(window));
    EXPECT_FALSE(window.TreeEnabled());
    EXPECT_TRUE(window.DeleteEnabled());

    window.Select(1);
    EXPECT_EQ(kFound, CheckedDevices(window));
    EXPECT_TRUE(window.TreeEnabled());
    EXPECT_FALSE(window.DeleteEnabled());

    // Clicking into the list (it takes the focus) brings back the states found.
    ASSERT_TRUE(window.Check(0, false));
    window.Notify(LBN_SETFOCUS);
    EXPECT_EQ(kFound, CheckedDevices(window));

    // The list losing the focus to the tree keeps the mark that click set.
    ASSERT_TRUE(window.Check(0, false));
    window.Notify(LBN_KILLFOCUS);
    EXPECT_EQ((Names{kWlanName, kModemName, kRadioName}), CheckedDevices(window));

    // A click on a check box while the list has the focus: the tree takes the
    // focus from the list after it has set the mark, and the mark stays.
    window.Focus(IDC_MAIN_PRESET_LIST);
    window.Notify(LBN_SETFOCUS);
    ASSERT_EQ(kFound, CheckedDevices(window));
    const HWND tree = window.Item(IDC_MAIN_DEVICE_TREE);
    POINT box = {};
    ASSERT_TRUE(TreeCheckBoxPoint(tree, window.Devices()[1].item, &box));
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
    PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
    PumpMessagesFor(300);
    EXPECT_EQ(tree, window.FocusedControl());
    EXPECT_EQ((Names{kSecondWlanName, kModemName, kRadioName}), CheckedDevices(window));

    EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
    EXPECT_TRUE(window.WaitForExit());
}

// The stored presets' shortcut keys, in preset order.
std::vector<WORD> StoredHotkeys()
{
    TaloPresetList list;
    LoadPresets(list);
    std::vector<WORD> keys;
    for (int i = 0; i < list.GetSize(); ++i)
        keys.push_back(list[i].Hotkey);
    return keys;
}

WORD ShownHotkey(HWND control)
{
    DWORD_PTR key = 0;
    SendMessageTimeoutW(control, HKM_GETHOTKEY, 0, 0, SMTO_ABORTIFHUNG, 1000, &key);
    return static_cast<WORD>(key);
}

void ShowHotkey(HWND control, WORD key)
{
    SendMessageTimeoutW(control, HKM_SETHOTKEY, key, 0, SMTO_ABORTIFHUNG, 1000, nullptr);
}

// The window shows a stored preset's key and changes or removes it; a key goes to
// one preset only, taken from any other, also by a preset registered with it.
// Each save keeps the other presets' keys.
TEST_F(SettingsWindowTest, ShortcutKeysAreShownChangedRemovedAndMovedToThePresetThatGetsThem)
{
    constexpr WORD kCtrlAltB = MAKEWORD('B', HOTKEYF_CONTROL | HOTKEYF_ALT);
    constexpr WORD kCtrlShiftF7 = MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    StorePreset(0, L"A", {{kWlanName, L"Net", kWlanHwId, 0}});
    StorePreset(1, L"B", {{kRadioName, L"#KVBT#", L"#KVBT#", 0}});
    const DWORD stored = kCtrlAltB;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, PresetPath(1).c_str(), L"Hotkey", REG_DWORD, &stored,
                                             sizeof(stored)));
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    const HWND control = window.Item(IDC_MAIN_HOTKEY);
    const struct {
        int entry;
        WORD shown;
        bool enabled;
    } selections[] = {{1, kCtrlAltB, true}, {0, 0, true}, {2, 0, false}};
    for (const auto& selection : selections) {
        SCOPED_TRACE(selection.entry);
        window.Select(selection.entry);
        PumpMessagesFor(100);
        EXPECT_EQ(selection.shown, ShownHotkey(control));
        EXPECT_EQ(selection.enabled, IsWindowEnabled(control) != FALSE);
        EXPECT_EQ(selection.enabled, IsWindowEnabled(window.Item(IDC_MAIN_HOTKEY_SET)) != FALSE);
    }

    const struct {
        int entry;
        WORD key;
        std::vector<WORD> stored;
    } changes[] = {
        {0, kCtrlAltB, {kCtrlAltB, 0}},            // taken from B
        {1, kCtrlShiftF7, {kCtrlAltB, kCtrlShiftF7}}, // A keeps its key
        {0, 0, {0, kCtrlShiftF7}},                 // removed
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.entry);
        window.Select(change.entry);
        ShowHotkey(control, change.key);
        EXPECT_TRUE(PressButton(window.Dialog(), IDC_MAIN_HOTKEY_SET));
        PumpMessagesFor(300);
        EXPECT_EQ(change.stored, StoredHotkeys());
        EXPECT_EQ(change.key, ShownHotkey(control));
    }

    window.Select(2);
    const HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    ShowHotkey(GetDlgItem(registerDialog, IDC_REGISTER_HOTKEY), kCtrlShiftF7);
    TypeName(registerDialog, L"C");
    EXPECT_TRUE(PressButton(registerDialog, IDOK));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ((std::vector<WORD>{0, 0, kCtrlShiftF7}), StoredHotkeys());
}

TEST_F(SettingsWindowTest, DeleteAsksFirstRenumbersTheRestAndTheLauncherFollows)
{
    StorePreset(0, L"A", {{kWlanName, L"Net", kWlanHwId, 0}});
    StorePreset(1, L"B", {{kSecondWlanName, L"Net", kSecondWlanHwId, 0}});
    StorePreset(2, L"C", {{kRadioName, L"#KVBT#", L"#KVBT#", 0}});
    LauncherUnderTest launcher(Install().LauncherPath());
    ASSERT_TRUE(launcher.IsRunning());
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());

    // Delete is no command for the new-preset entry, even when posted.
    window.Select(3);
    PostMessageW(window.Dialog(), WM_COMMAND, IDC_MAIN_DELETE, 0);
    EXPECT_EQ(nullptr, WaitForMessageBox(window.Program().ProcessId(), 500));

    window.Select(1);
    HWND box = window.PressForMessageBox(window.Dialog(), IDC_MAIN_DELETE);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(std::wstring(kTestWindowTitle) + L"|Delete %s %n %d?", Answer(box, IDCANCEL));
    EXPECT_EQ(3u, ReadPresets().size());

    box = window.PressForMessageBox(window.Dialog(), IDC_MAIN_DELETE);
    ASSERT_NE(nullptr, box);
    Answer(box, IDOK);
    PumpMessagesFor(200);
    EXPECT_EQ((Names{L"A", L"C", kNewEntry}), window.Presets());
    EXPECT_EQ(0, window.Selection());
    EXPECT_EQ(Names{kWlanName}, window.DeviceNames());
    EXPECT_EQ((std::vector<Names>{{L"A", L"802.11n Wireless LAN Adapter Net 0"}, {L"C", L"Bluetooth #KVBT# 0"}}),
              ReadPresets());

    EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ(Changes(), StateChanges());
    EXPECT_EQ((Names{L"A", L"C"}), launcher.MenuPresets()) << "no menu while a settings program runs";
}

// The administrator's presets follow the user's, the machine's first, behind a lock: shown
// read only, never deleted, applied like any other; a new preset of the user's goes before
// them. AllowUserPresets 0 takes away the new-preset entry and the delete button.
TEST_F(SettingsWindowTest, PolicyPresetsAreListedLockedAfterTheUsersAndCannotBeDeleted)
{
    const ScopedPolicy policy;
    StorePreset(0, L"Mine", {{kRadioName, L"#KVBT#", L"#KVBT#", 1}});
    ASSERT_TRUE(policy.StorePreset(HKEY_CURRENT_USER, 0, L"Team", {{kRadioName, L"#KVBT#", L"#KVBT#", 1}}));
    ASSERT_TRUE(policy.StorePreset(HKEY_LOCAL_MACHINE, 0, L"Fleet", {{kWlanName, L"Net", kWlanHwId, 0}}));
    const std::wstring lock = L"\U0001F512 ";
    {
        InstalledSettingsWindow window(Install());
        ASSERT_TRUE(window.IsOpen());
        EXPECT_EQ((Names{L"Mine", lock + L"Fleet", lock + L"Team", kNewEntry}), window.Presets());
        window.Select(1);
        EXPECT_EQ(Names{kWlanName}, window.DeviceNames());
        EXPECT_FALSE(window.TreeEnabled());
        EXPECT_FALSE(window.DeleteEnabled());
        PostMessageW(window.Dialog(), WM_COMMAND, IDC_MAIN_DELETE, 0);
        EXPECT_EQ(nullptr, WaitForMessageBox(window.Program().ProcessId(), 500));

        // A new preset stands after "Mine", before the administrator's.
        window.Select(3);
        const HWND registerDialog = window.PressOkForRegister();
        ASSERT_NE(nullptr, registerDialog);
        TypeName(registerDialog, L"New");
        EXPECT_TRUE(PressButton(registerDialog, IDOK));
        EXPECT_TRUE(window.WaitForExit());
    }
    std::vector<std::wstring> names;
    for (const Names& preset : ReadPresets())
        names.push_back(preset[0]);
    EXPECT_EQ((Names{L"Mine", L"New", L"Fleet", L"Team"}), names);

    // OK on "Fleet" applies it: the WLAN adapter goes off.
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    window.Select(2);
    EXPECT_TRUE(PressButton(window.Dialog(), IDOK));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_TRUE(IsDisabled(kWlan));

    ASSERT_TRUE(policy.SetDWord(HKEY_LOCAL_MACHINE, L"AllowUserPresets", 0));
    InstalledSettingsWindow locked(Install());
    ASSERT_TRUE(locked.IsOpen());
    EXPECT_EQ((Names{L"Mine", L"New", lock + L"Fleet", lock + L"Team"}), locked.Presets()) << "no new-preset entry";
    EXPECT_FALSE(IsWindowVisible(locked.Item(IDC_MAIN_DELETE)));
    EXPECT_FALSE(locked.DeleteEnabled());
    PostMessageW(locked.Dialog(), WM_COMMAND, IDC_MAIN_DELETE, 0);
    EXPECT_EQ(nullptr, WaitForMessageBox(locked.Program().ProcessId(), 500));
    EXPECT_TRUE(PressButton(locked.Dialog(), IDCANCEL));
    EXPECT_TRUE(locked.WaitForExit());
    EXPECT_EQ(4u, ReadPresets().size());
}

// While the KeepApplied policy decides, the keep-applied box shows its value disabled and a
// posted click leaves the user's own choice stored as it was; without it the box is the user's.
TEST_F(SettingsWindowTest, KeepAppliedPolicyDecidesTheBoxAndLeavesTheUsersChoice)
{
    const RegistrySnapshot product(HKEY_CURRENT_USER, kProductKey);
    const struct {
        HKEY root; // null: no policy
        DWORD policy;
        bool user;
    } cases[] = {{HKEY_LOCAL_MACHINE, 1, false}, {HKEY_CURRENT_USER, 0, true}, {nullptr, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.root ? "policy " : "no policy ") << c.policy << ", user " << c.user);
        const ScopedPolicy policy;
        if (c.root) {
            ASSERT_TRUE(policy.SetDWord(c.root, kKeepAppliedPolicy, c.policy));
        }
        SetKeepsPresetApplied(c.user);
        InstalledSettingsWindow window(Install());
        ASSERT_TRUE(window.IsOpen());
        const bool shown = c.root ? c.policy == 1 : c.user;
        EXPECT_EQ(shown ? BST_CHECKED : BST_UNCHECKED, IsDlgButtonChecked(window.Dialog(), IDC_MAIN_KEEP_APPLIED));
        EXPECT_EQ(c.root == nullptr, IsWindowEnabled(window.Item(IDC_MAIN_KEEP_APPLIED)) != FALSE);
        PostMessageW(window.Dialog(), WM_COMMAND, IDC_MAIN_KEEP_APPLIED, 0);
        PumpMessagesFor(300);
        EXPECT_EQ(shown ? BST_CHECKED : BST_UNCHECKED, IsDlgButtonChecked(window.Dialog(), IDC_MAIN_KEEP_APPLIED));
        EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
        EXPECT_TRUE(window.WaitForExit());
        DWORD stored = 2;
        DWORD bytes = sizeof(stored);
        ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, kProductKey, kKeepAppliedValue, RRF_RT_REG_DWORD,
                                              nullptr, &stored, &bytes));
        EXPECT_EQ(c.user ? 1u : 0u, stored) << "the user's choice was overwritten";
    }
}

// The rules dialog over the window, opened with its button.
HWND OpenRules(SettingsWindow& window)
{
    if (!PressButton(window.Dialog(), IDC_MAIN_RULES))
        return nullptr;
    WindowQuery query;
    query.processId = window.Program().ProcessId();
    query.className = L"#32770";
    query.title = L"Rules Test";
    return WaitForTopLevelWindow(query);
}

// Selects entry of a list (LB_SETCURSEL) or combo box (CB_SETCURSEL) and tells the dialog, as a click does.
void Choose(HWND dialog, int id, UINT setSelection, int entry)
{
    const HWND control = GetDlgItem(dialog, id);
    SendMessageTimeoutW(control, setSelection, static_cast<WPARAM>(entry), 0, SMTO_ABORTIFHUNG, 1000, nullptr);
    SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control),
                        SMTO_ABORTIFHUNG, 1000, nullptr);
}

Names RuleLines(HWND rulesDialog)
{
    return ListBoxEntries(GetDlgItem(rulesDialog, IDC_RULES_LIST));
}

// The user's own rules as stored, each as "event preset hwid".
Names StoredRules()
{
    Names stored;
    for (const Rule& rule : LoadRules()) {
        if (!rule.managed)
            stored.push_back(std::wstring(RuleEventName(rule.event)) + L" " + rule.preset.GetString() + L" " +
                             rule.hwId.GetString());
    }
    return stored;
}

TEST_F(SettingsWindowTest, RulesDialogAddsAndRemovesTheUsersRulesKeepsThePolicysAndSavesOnOkOnly)
{
    const ScopedPolicy policy;
    const RegistrySnapshot rules(HKEY_CURRENT_USER, kRulesKey);
    StorePreset(0, L"Office", {{kWlanName, L"Net", kWlanHwId, 0}});
    StorePreset(1, L"Travel", {{kWlanName, L"Net", kWlanHwId, 1}});
    ASSERT_TRUE(policy.StoreRule(HKEY_LOCAL_MACHINE, 0, L"AC", L"Office"));
    Rule gone;
    gone.preset = L"Gone";
    ASSERT_TRUE(SaveRules({gone}));
    const Names before = {L"on AC -> Office (managed)", L"cable in -> Gone (missing)"};

    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    HWND dialog = OpenRules(window);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(before, RuleLines(dialog));
    // The administrator's rule cannot be removed, by its button or by its command.
    Choose(dialog, IDC_RULES_LIST, LB_SETCURSEL, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_RULES_REMOVE)));
    SendMessageTimeoutW(dialog, WM_COMMAND, IDC_RULES_REMOVE, 0, SMTO_ABORTIFHUNG, 1000, nullptr);
    EXPECT_EQ(before, RuleLines(dialog));
    // Cancel drops a removal.
    Choose(dialog, IDC_RULES_LIST, LB_SETCURSEL, 1);
    EXPECT_TRUE(PressButton(dialog, IDC_RULES_REMOVE));
    EXPECT_EQ(Names{before[0]}, RuleLines(dialog));
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
    EXPECT_TRUE(WaitForWindowGone(dialog));
    EXPECT_EQ(Names{L"CableIn Gone "}, StoredRules());

    // A dock rule from the first present device, the rule of the missing preset removed, OK.
    dialog = OpenRules(window);
    ASSERT_NE(nullptr, dialog);
    Choose(dialog, IDC_RULES_EVENT, CB_SETCURSEL, static_cast<int>(RuleEvent::Docked));
    Choose(dialog, IDC_RULES_PRESET, CB_SETCURSEL, 1);
    Choose(dialog, IDC_RULES_DEVICE, CB_SETCURSEL, 0);
    EXPECT_TRUE(PressButton(dialog, IDC_RULES_ADD));
    Choose(dialog, IDC_RULES_LIST, LB_SETCURSEL, 1);
    EXPECT_TRUE(PressButton(dialog, IDC_RULES_REMOVE));
    const Names lines = RuleLines(dialog);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(0u, lines[1].find(L"docked (")) << "named by the device";
    EXPECT_NE(std::wstring::npos, lines[1].find(L") -> Travel"));
    EXPECT_TRUE(PressButton(dialog, IDOK));
    EXPECT_TRUE(WaitForWindowGone(dialog));
    const Names stored = StoredRules();
    ASSERT_EQ(1u, stored.size());
    EXPECT_EQ(0u, stored[0].find(L"Docked Travel ")) << "with the device's hardware ID";
    EXPECT_GT(stored[0].size(), std::wstring(L"Docked Travel ").size());
    EXPECT_TRUE(window.IsOpen()) << "the settings window stays";
    EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ(Changes(), StateChanges());
}

TEST_F(SettingsWindowTest, SixteenPresetsLeaveNoNewPresetEntryAndOkAppliesTheSelectedOne)
{
    Names names;
    for (int i = 0; i < 16; ++i) {
        names.push_back(L"Preset " + std::to_wstring(i));
        StorePreset(i, names.back().c_str(), {{kWlanName, L"Net", kWlanHwId, i == 5 ? 0u : 1u}});
    }
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    EXPECT_EQ(names, window.Presets());

    // Without a selection there is nothing to apply and no room for a new preset.
    window.Select(LB_ERR);
    EXPECT_TRUE(PressButton(window.Dialog(), IDOK));
    PumpMessagesFor(300);
    EXPECT_TRUE(window.IsOpen());

    window.Select(5);
    EXPECT_TRUE(PressButton(window.Dialog(), IDOK));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ(Changes{L"1 off"}, StateChanges());
    EXPECT_EQ(16u, ReadPresets().size());
}

TEST_F(SettingsWindowTest, WithoutSelectionOkMakesANewPresetFromTheDevicesShown)
{
    StorePreset(0, L"Radio off", {{kRadioName, L"#KVBT#", L"#KVBT#", 0}});
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    window.Select(LB_ERR);
    EXPECT_EQ(kFound, window.DeviceNames());
    ASSERT_TRUE(window.Check(1, false));
    const HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    TypeName(registerDialog, L"Second");
    EXPECT_TRUE(PressButton(registerDialog, IDOK));
    EXPECT_TRUE(window.WaitForExit());
    const std::vector<Names> presets = ReadPresets();
    ASSERT_EQ(2u, presets.size());
    EXPECT_EQ(L"Second", presets[1][0]);
    EXPECT_EQ(Changes{L"1 off"}, StateChanges()) << "the new preset is applied, not the first";
}

TEST_F(SettingsWindowTest, TreeShowsAtMostAHundredDevices)
{
    std::vector<StoredDevice> many;
    std::vector<std::wstring> manyNames;
    for (int i = 0; i < kManyEntries; ++i)
        manyNames.push_back(ManyName(i));
    for (int i = 0; i < kManyEntries; ++i)
        many.push_back({manyNames[i].c_str(), L"Ports", kManyHwId, 1});
    StorePreset(0, L"Many", many);
    SimDevice port;
    port.enumerator = L"USB";
    port.className = L"Ports";
    port.hardwareIds = {kManyHwId};
    port.description = L"Many port";
    ASSERT_NE(0u, CSimNotebook().AddDevice(port));

    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    const Names firstHundred(manyNames.begin(), manyNames.begin() + 100);
    EXPECT_EQ(firstHundred, window.DeviceNames());

    // The catalog: the four devices of the notebook, then the port under each of its names.
    window.Select(1);
    Names shown = kFound;
    shown.insert(shown.end(), manyNames.begin(), manyNames.begin() + 96);
    EXPECT_EQ(shown, window.DeviceNames());
    const HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    TypeName(registerDialog, L"Hundred");
    EXPECT_TRUE(PressButton(registerDialog, IDOK));
    EXPECT_TRUE(window.WaitForExit());
    const std::vector<Names> presets = ReadPresets();
    ASSERT_EQ(2u, presets.size());
    ASSERT_EQ(101u, presets[1].size()) << "the name and 100 devices";
    EXPECT_EQ(ManyName(95) + L" Ports 1", presets[1][100]);
}

TEST_F(SettingsWindowTest, WithoutDevicesANewPresetCanBeAppliedButNotStored)
{
    ASSERT_TRUE(CSimNotebook().Clear());
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    EXPECT_EQ(Names(), window.DeviceNames());
    const HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(registerDialog, IDOK)));
    // A posted register does nothing either.
    TypeName(registerDialog, L"Empty");
    PostMessageW(registerDialog, WM_COMMAND, IDOK, 0);
    PumpMessagesFor(300);
    EXPECT_TRUE(IsWindowVisible(registerDialog));
    EXPECT_TRUE(PressButton(registerDialog, IDC_REGISTER_APPLY_ONLY));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_TRUE(ReadPresets().empty());
}

// The demo's driver makes a preset as a person would: the new-preset entry, the
// check marks, OK, the name typed and saved; the titles come from the text file.
TEST_F(SettingsWindowTest, DemoDriverSavesAPresetThroughTheWindow)
{
    StorePreset(0, L"Office", {{kRadioName, L"#KVBT#", L"#KVBT#", 1}});
    std::string output;
    EXPECT_EQ(0, RunProgram(ProgramPath(L"AirvaneSettingsDriver.exe"),
                            L"\"" + Install().SettingsPath() + L"\" Travel WIRELESS=off umts=on", &output))
        << output;
    EXPECT_EQ((std::vector<Names>{{L"Office", L"Bluetooth #KVBT# 1"},
                                  {L"Travel", L"Second Wireless Adapter Net 0", L"802.11n Wireless LAN Adapter Net 0",
                                   L"UMTS modem #UMTS# 1", L"Bluetooth #KVBT# 1"}}),
              ReadPresets());
    EXPECT_EQ((Changes{L"7 off", L"1 off"}), StateChanges());

    // A device the tree does not show is an error, and the window is not left open.
    EXPECT_EQ(1, RunProgram(ProgramPath(L"AirvaneSettingsDriver.exe"),
                            L"\"" + Install().SettingsPath() + L"\" Nothing modem=on fax=off", &output));
    EXPECT_NE(std::string::npos, output.find("no device in the tree is named like FAX")) << output;
    EXPECT_EQ(2u, ReadPresets().size());
    EXPECT_EQ(1u, RunSettings(Install(), L"STATUS=UMTS /Q").exitCode) << "no settings program runs any more";
}

TEST_F(SettingsWindowTest, EndClosesTheWindowWhileTheRegisterDialogIsOpen)
{
    InstalledSettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    const HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    TypeName(registerDialog, L"Unsaved");
    EXPECT_EQ(0u, RunSettings(Install(), L"/e").exitCode);
    EXPECT_TRUE(window.WaitForExit(10000));
    EXPECT_TRUE(ReadPresets().empty());
    EXPECT_EQ(Changes(), StateChanges());
}

} // namespace
