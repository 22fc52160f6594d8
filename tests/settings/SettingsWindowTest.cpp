// The settings window and the register dialog on the simulated notebook, with
// the service running: presets made, applied, shown and deleted.
#include "catalog/PresetStore.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "settings/SettingsResources.h"
#include "sim/SimNotebook.h"
#include "tests/settings/SettingsInstall.h"
#include "tests/settings/SettingsWindow.h"
#include "tests/support/GuiWindows.h"
#include "tests/support/ProgramRunner.h"

#include <gtest/gtest.h>

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
constexpr wchar_t kProbeKey[] = L"Software\\AirvaneTests\\LauncherProbe";

// The devices the tests' notebook shows, in the catalog's order, all switched on.
const Names kFound = {kSecondWlanName, kWlanName, kModemName, kRadioName};

// One stored device as the tests compare them.
struct Stored {
    std::wstring name;
    std::wstring className;
    int setting;
    bool operator==(const Stored& other) const
    {
        return name == other.name && className == other.className && setting == other.setting;
    }
};

std::ostream& operator<<(std::ostream& out, const Stored& device)
{
    return out << std::string(device.name.begin(), device.name.end()) << "/"
               << std::string(device.className.begin(), device.className.end()) << "=" << device.setting;
}

struct StoredPresets {
    Names names;
    std::vector<std::vector<Stored>> devices;
};

// The presets as the programs read them back from the registry.
StoredPresets ReadPresets()
{
    TaloPresetList list;
    LoadPresets(list);
    StoredPresets presets;
    for (int i = 0; i < list.GetSize(); ++i) {
        presets.names.push_back(list[i].Name.GetString());
        std::vector<Stored> devices;
        for (int k = 0; k < list[i].Devices.GetSize(); ++k) {
            const TALO_DEVICEINFO& device = list[i].Devices[k];
            devices.push_back({device.DeviceName.GetString(), device.Class.GetString(), device.Setting});
        }
        presets.devices.push_back(devices);
    }
    return presets;
}

bool PresetKeyExists(int index)
{
    const std::wstring path = std::wstring(kProductKey) + L"\\Setting\\Preset" + std::to_wstring(index);
    RegKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// The catalog's records as a new preset stores them, all switched on except off.
std::vector<Stored> FoundDevices(const std::wstring& off)
{
    std::vector<Stored> devices = {
        {kSecondWlanName, L"Net", 1}, {kWlanName, L"Net", 1}, {kModemName, L"#UMTS#", 1}, {kRadioName, L"#KVBT#", 1}};
    for (Stored& device : devices)
        device.setting = device.name == off ? 0 : 1;
    return devices;
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

DWORD ProbeCount(const wchar_t* name)
{
    DWORD count = 0;
    DWORD bytes = sizeof(count);
    RegGetValueW(HKEY_CURRENT_USER, kProbeKey, name, RRF_RT_REG_DWORD, nullptr, &count, &bytes);
    return count;
}

bool AwaitProbeCount(const wchar_t* name, DWORD count)
{
    for (int i = 0; i < 100 && ProbeCount(name) < count; ++i)
        Sleep(50);
    return ProbeCount(name) == count;
}

// Presses the box's button and returns what the box said, as "caption|text".
std::wstring Answer(HWND box, int button)
{
    const std::wstring said = WindowText(box) + L"|" + MessageBoxText(box);
    EXPECT_TRUE(PressButton(box, button));
    EXPECT_TRUE(WaitForWindowGone(box));
    return said;
}

class SettingsWindowTest : public SettingsProgram {
protected:
    void SetUp() override
    {
        SettingsProgram::SetUp();
        RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
        ASSERT_TRUE(Install().InstallLauncher(PathBesideTest(L"launcher_probe.exe")));
    }

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey); }

    // The launcher stand-in with its window, to hear of saved presets.
    static bool StartLauncher(std::unique_ptr<RunningProgram>& launcher)
    {
        launcher = std::make_unique<RunningProgram>(Install().LauncherPath(), L"");
        WindowQuery query;
        query.className = kLauncherWindowClass;
        query.processId = launcher->ProcessId();
        query.visibleOnly = false;
        return WaitForTopLevelWindow(query) != nullptr;
    }
};

TEST_F(SettingsWindowTest, WithoutPresetsOffersTheNewPresetEntryWithTheDevicesFound)
{
    SettingsWindow window(Install());
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
                 {IDC_MAIN_DELETE, L"Delete button"}, {IDOK, L"OK button"}, {IDCANCEL, L"Cancel button"}};
    for (const auto& text : texts)
        EXPECT_EQ(text.text, DialogItemText(window.Dialog(), text.id)) << "control " << text.id;

    EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ(Changes(), StateChanges());
    EXPECT_FALSE(PresetKeyExists(0));
}

TEST_F(SettingsWindowTest, RegisterStoresTheNewPresetLastAppliesItAndTellsTheLauncher)
{
    std::unique_ptr<RunningProgram> launcher;
    ASSERT_TRUE(StartLauncher(launcher));
    StorePreset(0, L"Office", {{kRadioName, L"#KVBT#", L"#KVBT#", 0}});
    SettingsWindow window(Install());
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
                 {IDCANCEL, L"Cancel button"}};
    for (const auto& text : texts)
        EXPECT_EQ(text.text, DialogItemText(registerDialog, text.id)) << "control " << text.id;
    // The same name again makes a second preset of that name.
    TypeName(registerDialog, L"Office");
    EXPECT_TRUE(PressButton(registerDialog, IDOK));
    EXPECT_TRUE(window.WaitForExit());

    const StoredPresets presets = ReadPresets();
    EXPECT_EQ((Names{L"Office", L"Office"}), presets.names);
    ASSERT_EQ(2u, presets.devices.size());
    EXPECT_EQ(FoundDevices(kWlanName), presets.devices[1]);
    EXPECT_EQ(Changes{L"1 off"}, StateChanges());
    EXPECT_TRUE(IsDisabled(kWlan));
    EXPECT_TRUE(AwaitProbeCount(L"PresetsChanged", 1));
}

TEST_F(SettingsWindowTest, ApplyOnlyAppliesAtOnceAndStoresNothing)
{
    SettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    ASSERT_TRUE(window.Check(0, false));
    const HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    EXPECT_TRUE(PressButton(registerDialog, IDC_REGISTER_APPLY_ONLY));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_EQ(Changes{L"7 off"}, StateChanges());
    EXPECT_FALSE(PresetKeyExists(0));
}

TEST_F(SettingsWindowTest, RegisterDialogWantsANameOfAtMost32CharactersAndCancelReturns)
{
    SettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    window.Focus(IDC_MAIN_DEVICE_TREE);
    ASSERT_TRUE(window.Check(2, false));
    const HWND registerDialog = window.PressOkForRegister();
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
    EXPECT_EQ((Names{kSecondWlanName, kWlanName, kRadioName}), CheckedDevices(window)) << "the tree as it was left";
    EXPECT_TRUE(PressButton(window.Dialog(), IDCANCEL));
    EXPECT_TRUE(window.WaitForExit());
    EXPECT_FALSE(PresetKeyExists(0));
    EXPECT_EQ(Changes(), StateChanges());
}

TEST_F(SettingsWindowTest, StoredPresetIsShownReadOnlyAndTheListRestoresTheFoundStates)
{
    StorePreset(0, L"Quiet", {{kWlanName, L"Net", kWlanHwId, 0}, {kRadioName, L"#KVBT#", L"#KVBT#", 1}});
    SettingsWindow window(Install());
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

TEST_F(SettingsWindowTest, DeleteAsksFirstAndRenumbersTheRestInListOrder)
{
    std::unique_ptr<RunningProgram> launcher;
    ASSERT_TRUE(StartLauncher(launcher));
    StorePreset(0, L"A", {{kWlanName, L"Net", kWlanHwId, 0}});
    StorePreset(1, L"B", {{kSecondWlanName, L"Net", kSecondWlanHwId, 0}});
    StorePreset(2, L"C", {{kRadioName, L"#KVBT#", L"#KVBT#", 0}});
    SettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());

    // Delete is no command for the new-preset entry, even when posted.
    window.Select(3);
    PostMessageW(window.Dialog(), WM_COMMAND, IDC_MAIN_DELETE, 0);
    EXPECT_EQ(nullptr, WaitForMessageBox(window.Program().ProcessId(), 500));

    window.Select(1);
    HWND box = window.PressForMessageBox(window.Dialog(), IDC_MAIN_DELETE);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(std::wstring(kTestWindowTitle) + L"|Delete %s %n %d?", Answer(box, IDCANCEL));
    EXPECT_EQ((Names{L"A", L"B", L"C"}), ReadPresets().names);

    box = window.PressForMessageBox(window.Dialog(), IDC_MAIN_DELETE);
    ASSERT_NE(nullptr, box);
    Answer(box, IDOK);
    PumpMessagesFor(200);
    EXPECT_EQ((Names{L"A", L"C", kNewEntry}), window.Presets());
    EXPECT_EQ(0, window.Selection());
    EXPECT_EQ(Names{kWlanName}, window.DeviceNames());
    const StoredPresets presets = ReadPresets();
    EXPECT_EQ((Names{L"A", L"C"}), presets.names);
    ASSERT_EQ(2u, presets.devices.size());
    EXPECT_EQ((std::vector<Stored>{{kRadioName, L"#KVBT#", 0}}), presets.devices[1]);
    EXPECT_FALSE(PresetKeyExists(2));
    EXPECT_TRUE(AwaitProbeCount(L"PresetsChanged", 1));

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
    SettingsWindow window(Install());
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
    EXPECT_EQ(names, ReadPresets().names);
}

TEST_F(SettingsWindowTest, WithoutSelectionOkMakesANewPresetFromTheDevicesShown)
{
    StorePreset(0, L"Radio off", {{kRadioName, L"#KVBT#", L"#KVBT#", 0}});
    SettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    window.Select(LB_ERR);
    EXPECT_EQ(kFound, window.DeviceNames());
    ASSERT_TRUE(window.Check(1, false));
    const HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    TypeName(registerDialog, L"Second");
    EXPECT_TRUE(PressButton(registerDialog, IDOK));
    EXPECT_TRUE(window.WaitForExit());
    const StoredPresets presets = ReadPresets();
    EXPECT_EQ((Names{L"Radio off", L"Second"}), presets.names);
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

    SettingsWindow window(Install());
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
    const StoredPresets presets = ReadPresets();
    ASSERT_EQ(2u, presets.devices.size());
    ASSERT_EQ(100u, presets.devices[1].size());
    EXPECT_EQ((Stored{ManyName(95), L"Ports", 1}), presets.devices[1][99]);
}

TEST_F(SettingsWindowTest, WithoutDevicesANewPresetCanBeAppliedButNotStored)
{
    ASSERT_TRUE(CSimNotebook().Clear());
    SettingsWindow window(Install());
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
    EXPECT_FALSE(PresetKeyExists(0));
}

TEST_F(SettingsWindowTest, EndClosesTheWindowWhileTheRegisterDialogIsOpen)
{
    SettingsWindow window(Install());
    ASSERT_TRUE(window.IsOpen());
    const HWND registerDialog = window.PressOkForRegister();
    ASSERT_NE(nullptr, registerDialog);
    TypeName(registerDialog, L"Unsaved");
    EXPECT_EQ(0u, RunSettings(Install(), L"/e").exitCode);
    EXPECT_TRUE(window.WaitForExit(10000));
    EXPECT_FALSE(PresetKeyExists(0));
    EXPECT_EQ(Changes(), StateChanges());
}

} // namespace
