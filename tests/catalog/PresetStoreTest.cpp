// The presets in HKEY_CURRENT_USER: what LoadPresets reads, what SavePresets writes
// and whom it tells. The product's own key is used, and restored after each test.
#include "catalog/PresetStore.h"

#include "automation/RegistrySnapshot.h"
#include "catalog/PresetsChangedMsg.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "automation/RegistrySnapshot.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/SoakFigures.h"
#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

RegKey OpenPreset(int n, REGSAM access = KEY_READ)
{
    RegKey key;
    RegOpenKeyExW(HKEY_CURRENT_USER, PresetPath(n).c_str(), 0, access, key.Put());
    return key;
}

void SetString(HKEY key, const std::wstring& name, const std::wstring& text)
{
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

const std::vector<StoredDevice> kTwoDevices = {
    {L"Wireless LAN", L"Net", L"PCI\\VEN_168C&DEV_002B", 1, L""},
    {L"UMTS modem", L"#UMTS#", L"USB\\VID_1E0E&PID_9001", 0, L""},
};

// What a stored value holds: its type and, for text, the text.
struct StoredValue {
    DWORD type = REG_NONE;
    std::wstring text;
    DWORD number = 0;
};

StoredValue ReadStored(HKEY key, const std::wstring& name)
{
    StoredValue value;
    BYTE data[1024] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, data, &bytes) != ERROR_SUCCESS)
        value.type = REG_NONE;
    else if (value.type == REG_DWORD)
        value.number = *reinterpret_cast<DWORD*>(data);
    else
        value.text = reinterpret_cast<const wchar_t*>(data);
    return value;
}

// Windows of the launcher's class in this thread, standing for the launcher and,
// under Wine, for the switching service's hidden window of the same class.
class LauncherClassWindows {
public:
    LauncherClassWindows()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kLauncherWindowClass;
        registered_ = RegisterClassW(&windowClass) != 0;
    }

    ~LauncherClassWindows()
    {
        for (HWND window : windows_)
            DestroyWindow(window);
        if (registered_)
            UnregisterClassW(kLauncherWindowClass, GetModuleHandleW(nullptr));
    }

    HWND Create()
    {
        HWND window = CreateWindowExW(0, kLauncherWindowClass, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        if (window)
            windows_.push_back(window);
        return window;
    }

    // How many PresetsChangedMsg wait for the window; takes them from the queue.
    static int TakeNotifications(HWND window)
    {
        int count = 0;
        MSG message;
        while (PeekMessageW(&message, window, PresetsChangedMsg, PresetsChangedMsg, PM_REMOVE))
            ++count;
        return count;
    }

private:
    bool registered_ = false;
    std::vector<HWND> windows_;
};

class PresetStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(0u, RegisterPresetsChangedMsg());
        ASSERT_EQ(RegisterWindowMessageW(kPresetsChangedMessage), PresetsChangedMsg);
        settings_.Remove();
        saving_.Remove();
    }

    RegistrySnapshot settings_{HKEY_CURRENT_USER, std::wstring(kProductKey) + L"\\" + kSettingSubKey};
    RegistrySnapshot saving_{HKEY_CURRENT_USER, std::wstring(kProductKey) + L"\\" + kSettingSavingSubKey};
    TaloPresetList list;
};

TEST_F(PresetStoreTest, LoadsEveryPresetWithItsDevicesInKeyOrder)
{
    StorePreset(0, L"Office", kTwoDevices);
    StorePreset(1, L"Travel", {{L"Bluetooth", L"#KVBT#", L"#KVBT#", 1, L""}});

    ASSERT_EQ(2, LoadPresets(list));
    EXPECT_STREQ(L"Office", list[0].Name);
    ASSERT_EQ(2, list[0].Devices.GetSize());
    const TALO_DEVICEINFO& modem = list[0].Devices[1];
    EXPECT_STREQ(L"UMTS modem", modem.DeviceName);
    EXPECT_STREQ(L"#UMTS#", modem.Class);
    EXPECT_STREQ(L"USB\\VID_1E0E&PID_9001", modem.HwId);
    EXPECT_EQ(0, modem.Setting);
    EXPECT_EQ(1, list[0].Devices[0].Setting);
    EXPECT_STREQ(L"Travel", list[1].Name);
    EXPECT_STREQ(L"#KVBT#", list[1].Devices[0].HwId);
}

// The administrator's presets come after the user's (whose numbers stay), the machine's
// before the user's, marked managed; a save writes the user's alone and leaves policy be.
TEST_F(PresetStoreTest, PolicyPresetsFollowTheUsersMachineFirstAndAreNeverSaved)
{
    const ScopedPolicy policy;
    StorePreset(0, L"Office", kTwoDevices);
    ASSERT_TRUE(policy.StorePreset(HKEY_CURRENT_USER, 0, L"Team", kTwoDevices));
    ASSERT_TRUE(policy.StorePreset(HKEY_LOCAL_MACHINE, 0, L"Fleet", kTwoDevices));
    ASSERT_TRUE(policy.StorePreset(HKEY_LOCAL_MACHINE, 1, L"Flight", {{L"Bluetooth", L"#KVBT#", L"#KVBT#", 0}}));

    ASSERT_EQ(4, LoadPresets(list));
    const std::pair<const wchar_t*, bool> expected[] = {
        {L"Office", false}, {L"Fleet", true}, {L"Flight", true}, {L"Team", true}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(expected[i].first, list[i].Name);
        EXPECT_EQ(expected[i].second, list[i].Managed);
    }
    EXPECT_EQ(1, UserPresetCount(list));
    EXPECT_EQ(2, list[1].Devices.GetSize());

    list.RemoveAt(0, 1); // the user deletes "Office"
    ASSERT_EQ(1, SavePresets(list));
    EXPECT_FALSE(OpenPreset(0)) << "a managed preset was stored as the user's";
    ASSERT_EQ(3, LoadPresets(list));
    EXPECT_EQ(0, UserPresetCount(list));
    EXPECT_STREQ(L"Fleet", list[0].Name);
}

TEST_F(PresetStoreTest, TheFirstIncompletePresetEndsTheList)
{
    const std::vector<StoredDevice> emptyClass = {{L"Wireless LAN", L"", L"PCI\\VEN_168C", 1, L""}};
    const std::vector<StoredDevice> noName = {{L"", L"Net", L"PCI\\VEN_168C", 1, L""}};
    const struct {
        const char* what;
        const wchar_t* name1;
        const std::vector<StoredDevice>* devices1; // null: no key for preset 1
        int loaded;
    } cases[] = {
        {"a gap in the key numbers", nullptr, nullptr, 1},
        {"an empty name", L"", &kTwoDevices, 1},
        {"an empty class on device 0", L"Broken", &emptyClass, 1},
        {"no name on device 0", L"Broken", &noName, 1},
        {"nothing missing", L"Second", &kTwoDevices, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        settings_.Remove();
        StorePreset(0, L"First", kTwoDevices);
        if (c.devices1)
            StorePreset(1, c.name1, *c.devices1);
        StorePreset(2, L"Third", kTwoDevices);
        EXPECT_EQ(c.loaded, LoadPresets(list));
        EXPECT_EQ(c.loaded, list.GetSize());
        EXPECT_STREQ(L"First", list[0].Name);
    }
}

TEST_F(PresetStoreTest, TheFirstIncompleteDeviceEndsThePresetsDevices)
{
    StorePreset(0, L"Office",
                {kTwoDevices[0], {L"Modem", L"", L"USB\\VID_1E0E", 1, L""}, kTwoDevices[1]});
    ASSERT_EQ(1, LoadPresets(list));
    EXPECT_EQ(1, list[0].Devices.GetSize());
}

TEST_F(PresetStoreTest, DisplayNameReplacesTheDeviceNameAndASaveStoresItTwice)
{
    StorePreset(0, L"Office",
                {{L"Stored name", L"Net", L"PCI\\VEN_168C", 1, L"Shown name"},
                 {L"", L"#UMTS#", L"USB\\VID_1E0E", 0, L"Modem"}});
    ASSERT_EQ(1, LoadPresets(list));
    ASSERT_EQ(2, list[0].Devices.GetSize());
    EXPECT_STREQ(L"Shown name", list[0].Devices[0].DeviceName);
    EXPECT_STREQ(L"Shown name", list[0].Devices[0].DisplayName);
    EXPECT_STREQ(L"Modem", list[0].Devices[1].DeviceName);

    ASSERT_EQ(1, SavePresets(list));
    RegKey key = OpenPreset(0);
    ASSERT_TRUE(key);
    EXPECT_EQ(L"Shown name", ReadStored(key.Get(), L"0_DeviceName").text);
    EXPECT_EQ(L"Shown name", ReadStored(key.Get(), L"0_DisplayName").text);
    EXPECT_EQ(L"Modem", ReadStored(key.Get(), L"1_DeviceName").text);
}

TEST_F(PresetStoreTest, SettingOfAnotherTypeReadsAsSwitchOff)
{
    StorePreset(0, L"Office", kTwoDevices);
    {
        RegKey key = OpenPreset(0, KEY_ALL_ACCESS);
        SetString(key.Get(), L"0_Setting", L"1");
        const ULONGLONG wide = 1;
        RegSetValueExW(key.Get(), L"1_Setting", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&wide), sizeof(wide));
    }
    ASSERT_EQ(1, LoadPresets(list));
    EXPECT_EQ(0, list[0].Devices[0].Setting);
    EXPECT_EQ(0, list[0].Devices[1].Setting);
}

// The shortcut key: kept by a load, a copy and a save (which writes none for no
// key); a value that is no key reads as none.
TEST_F(PresetStoreTest, ShortcutKeySurvivesLoadCopyAndSave)
{
    const struct {
        const wchar_t* name;
        DWORD type;
        DWORD stored;
        WORD loaded;
    } rows[] = {
        {L"Ctrl+Alt+T", REG_DWORD, 0x0654, 0x0654},
        {L"absent", REG_NONE, 0, 0},
        {L"modifiers alone", REG_DWORD, 0x0600, 0},
        {L"bits above the word", REG_DWORD, 0x10654, 0},
        {L"text", REG_SZ, 0, 0},
    };
    for (int n = 0; n < ARRAYSIZE(rows); ++n) {
        StorePreset(n, rows[n].name, kTwoDevices);
        RegKey key = OpenPreset(n, KEY_ALL_ACCESS);
        if (rows[n].type == REG_DWORD)
            RegSetValueExW(key.Get(), L"Hotkey", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&rows[n].stored), 4);
        else if (rows[n].type == REG_SZ)
            SetString(key.Get(), L"Hotkey", L"1620");
    }
    ASSERT_EQ(ARRAYSIZE(rows), LoadPresets(list));
    TALO_PRESET copy;
    copy = list[0];
    EXPECT_EQ(0x0654, TALO_PRESET(copy).Hotkey);
    list.SetAtGrow(list.GetSize(), copy);

    ASSERT_EQ(1, SavePresets(list));
    TaloPresetList reloaded;
    ASSERT_EQ(ARRAYSIZE(rows) + 1, LoadPresets(reloaded));
    for (int n = 0; n < reloaded.GetSize(); ++n) {
        const WORD expected = n < ARRAYSIZE(rows) ? rows[n].loaded : 0x0654;
        SCOPED_TRACE(n);
        EXPECT_EQ(expected, reloaded[n].Hotkey);
        RegKey key = OpenPreset(n);
        const StoredValue value = ReadStored(key.Get(), L"Hotkey");
        EXPECT_EQ(expected != 0 ? REG_DWORD : REG_NONE, value.type);
        EXPECT_EQ(expected, value.number);
    }
}

TEST_F(PresetStoreTest, LoadingEmptiesTheListFirst)
{
    StorePreset(0, L"Office", kTwoDevices);
    ASSERT_EQ(1, LoadPresets(list));
    settings_.Remove();
    EXPECT_EQ(0, LoadPresets(list));
    EXPECT_EQ(0, list.GetSize());
}

TEST_F(PresetStoreTest, SaveRewritesTheTreeInListOrderWithEveryValueTyped)
{
    StorePreset(0, L"Old 0", kTwoDevices);
    StorePreset(1, L"Old 1", kTwoDevices);
    StorePreset(2, L"Old 2", kTwoDevices);
    ASSERT_EQ(3, LoadPresets(list));
    list.RemoveAt(0);
    list.RemoveAt(1);
    list[0].Devices[1].DisplayName = L"Shown";
    list[0].Devices[1].Setting = 1;

    ASSERT_EQ(1, SavePresets(list));
    EXPECT_FALSE(OpenPreset(1));
    EXPECT_FALSE(OpenPreset(2));
    RegKey key = OpenPreset(0);
    ASSERT_TRUE(key);
    const struct {
        const wchar_t* name;
        DWORD type;
        const wchar_t* text;
        DWORD number;
    } expected[] = {
        {L"Name", REG_SZ, L"Old 1", 0},
        {L"0_DeviceName", REG_SZ, L"Wireless LAN", 0},
        {L"0_Class", REG_SZ, L"Net", 0},
        {L"0_HwId", REG_SZ, L"PCI\\VEN_168C&DEV_002B", 0},
        {L"0_Setting", REG_DWORD, L"", 1},
        {L"0_DisplayName", REG_SZ, L"", 0}, // written even when empty
        {L"1_DeviceName", REG_SZ, L"UMTS modem", 0},
        {L"1_Class", REG_SZ, L"#UMTS#", 0},
        {L"1_Setting", REG_DWORD, L"", 1},
        {L"1_DisplayName", REG_SZ, L"Shown", 0},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(testing::Message() << "value " << std::string(e.name, e.name + wcslen(e.name)));
        const StoredValue value = ReadStored(key.Get(), e.name);
        EXPECT_EQ(e.type, value.type);
        EXPECT_EQ(e.text, value.text);
        EXPECT_EQ(e.number, value.number);
    }
    EXPECT_EQ(REG_NONE, ReadStored(key.Get(), L"2_Class").type);

    TaloPresetList reloaded;
    ASSERT_EQ(1, LoadPresets(reloaded));
    EXPECT_STREQ(L"Shown", reloaded[0].Devices[1].DeviceName);
}

TEST_F(PresetStoreTest, SavingAnEmptyListDeletesTheTreeAndStillTellsTheLauncher)
{
    StorePreset(0, L"Office", kTwoDevices);
    LauncherClassWindows windows;
    HWND launcher = windows.Create();
    ASSERT_TRUE(launcher);

    EXPECT_EQ(1, SavePresets(list));
    RegKey setting;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kProductKey) + L"\\Setting").c_str(), 0,
                                           KEY_READ, setting.Put()));
    EXPECT_EQ(1, LauncherClassWindows::TakeNotifications(launcher));
}

TEST_F(PresetStoreTest, EveryWindowOfTheLauncherClassIsTold)
{
    // Under Wine the service's hidden window shares the desktop and the class name;
    // whichever of the two was made first, the launcher must hear of the save.
    StorePreset(0, L"Office", kTwoDevices);
    ASSERT_EQ(1, LoadPresets(list));
    LauncherClassWindows windows;
    HWND service = windows.Create();
    HWND launcher = windows.Create();
    ASSERT_TRUE(service && launcher);

    EXPECT_EQ(1, SavePresets(list));
    EXPECT_EQ(1, LauncherClassWindows::TakeNotifications(launcher));
    EXPECT_EQ(1, LauncherClassWindows::TakeNotifications(service));
}

TEST_F(PresetStoreTest, SavingWithoutALauncherReturnsOneAndPostsNothing)
{
    StorePreset(0, L"Office", kTwoDevices);
    ASSERT_EQ(1, LoadPresets(list));
    {
        LauncherClassWindows windows;
        ASSERT_TRUE(windows.Create());
    } // the launcher ended

    EXPECT_EQ(1, SavePresets(list));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, PresetsChangedMsg, PresetsChangedMsg, PM_REMOVE));
    EXPECT_TRUE(OpenPreset(0));
}

} // namespace

// ---- Saves cut short: a child saves and is stopped right after its k-th registry
// write, as a kill at that point would stop it; the next load must find the old
// list or the new one, whole. The long form stops it after every k, the short
// one after every third k from a random first one.

namespace {

constexpr int kStoppedExit = 0x57;
constexpr int kSaveEndedExit = 1;
long g_writesLeft = 0;

void CountWrite()
{
    if (--g_writesLeft == 0)
        TerminateProcess(GetCurrentProcess(), kStoppedExit);
}

decltype(&RegCreateKeyExW) g_createKey;
decltype(&RegSetValueExW) g_setValue;
decltype(&RegDeleteKeyW) g_deleteKey;
decltype(&RegDeleteValueW) g_deleteValue;

LONG WINAPI CountedCreateKey(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                             LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition)
{
    const LONG status = g_createKey(key, subKey, reserved, keyClass, options, access, security, result, disposition);
    CountWrite();
    return status;
}

LONG WINAPI CountedSetValue(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD bytes)
{
    const LONG status = g_setValue(key, name, reserved, type, data, bytes);
    CountWrite();
    return status;
}

LONG WINAPI CountedDeleteKey(HKEY key, LPCWSTR subKey)
{
    const LONG status = g_deleteKey(key, subKey);
    CountWrite();
    return status;
}

LONG WINAPI CountedDeleteValue(HKEY key, LPCWSTR name)
{
    const LONG status = g_deleteValue(key, name);
    CountWrite();
    return status;
}

// Points this program's imports of a function at a replacement; returns the original.
template <class Function>
Function ReplaceImport(const char* name, Function replacement)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    Function original = nullptr;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name;
         ++library) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) != 0)
                continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection);
            original = reinterpret_cast<Function>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
        }
    }
    return original;
}

void StopAfterWrites(long writes)
{
    g_writesLeft = writes;
    g_createKey = ReplaceImport("RegCreateKeyExW", &CountedCreateKey);
    g_setValue = ReplaceImport("RegSetValueExW", &CountedSetValue);
    g_deleteKey = ReplaceImport("RegDeleteKeyW", &CountedDeleteKey);
    g_deleteValue = ReplaceImport("RegDeleteValueW", &CountedDeleteValue);
}

// A list of its own for each seed: seed 0 and 1 are small and fixed, others random.
void MakeList(unsigned seed, TaloPresetList& list)
{
    std::mt19937 random(seed);
    const int presets = seed < 2 ? 2 + static_cast<int>(seed) : static_cast<int>(random() % 6);
    list.RemoveAll();
    for (int i = 0; i < presets; ++i) {
        TALO_PRESET preset;
        preset.Name = (L"Preset " + std::to_wstring(seed) + L"." + std::to_wstring(i)).c_str();
        const int devices = seed < 2 ? 2 - static_cast<int>(seed) : 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < devices; ++k) {
            TALO_DEVICEINFO device;
            device.DeviceName = (L"Device " + std::to_wstring(random() % 100)).c_str();
            device.Class = k % 2 ? L"#UMTS#" : L"Net";
            device.HwId = (L"PCI\\VEN_" + std::to_wstring(random() % 10000)).c_str();
            device.Setting = static_cast<int>(random() % 2);
            preset.Devices.SetAtGrow(k, device);
        }
        list.SetAtGrow(i, preset);
    }
}

bool SameList(const TaloPresetList& a, const TaloPresetList& b)
{
    if (a.GetSize() != b.GetSize())
        return false;
    for (int i = 0; i < a.GetSize(); ++i) {
        if (lstrcmpW(a[i].Name, b[i].Name) != 0 || a[i].Devices.GetSize() != b[i].Devices.GetSize())
            return false;
        for (int k = 0; k < a[i].Devices.GetSize(); ++k) {
            const TALO_DEVICEINFO& x = a[i].Devices[k];
            const TALO_DEVICEINFO& y = b[i].Devices[k];
            if (lstrcmpW(x.DeviceName, y.DeviceName) != 0 || lstrcmpW(x.Class, y.Class) != 0 ||
                lstrcmpW(x.HwId, y.HwId) != 0 || x.Setting != y.Setting)
                return false;
        }
    }
    return true;
}

// args: the writes after which to stop, and the seed of the list to save.
const ChildRole kSaveAndStop(L"save-and-stop", [](const std::vector<std::wstring>& args) {
    TaloPresetList list;
    MakeList(static_cast<unsigned>(std::stoul(args[1])), list);
    StopAfterWrites(std::stol(args[0]));
    return SavePresets(list) ? kSaveEndedExit : 0;
});

// args: the writes after which the load (and the save it finishes) stops.
const ChildRole kLoadAndStop(L"load-and-stop", [](const std::vector<std::wstring>& args) {
    StopAfterWrites(std::stol(args[0]));
    TaloPresetList list;
    LoadPresets(list);
    return kSaveEndedExit;
});

} // namespace

TEST_F(PresetStoreTest, ASaveStoppedAfterAnyWriteLeavesTheOldListOrTheNewOne)
{
    const unsigned rounds = static_cast<unsigned>(Figure(1, 12));
    const unsigned start = GetTickCount();
    SCOPED_TRACE(testing::Message() << "first seed " << start);
    std::mt19937 random(start);
    long long kills = 0, loads = 0, failures = 0;
    for (unsigned round = 0; round < rounds; ++round) {
        const unsigned oldSeed = round == 0 ? 0 : start + 2 * round, newSeed = round == 0 ? 1 : oldSeed + 1;
        TaloPresetList oldList, newList;
        MakeList(oldSeed, oldList);
        MakeList(newSeed, newList);
        const long stride = IsSoak() ? 1 : 3;
        for (long k = 1 + static_cast<long>(random() % stride);; k += stride) {
            ASSERT_EQ(1, SavePresets(oldList));
            const DWORD exit = RunChild(L"save-and-stop", {std::to_wstring(k), std::to_wstring(newSeed)});
            ASSERT_TRUE(exit == static_cast<DWORD>(kStoppedExit) || exit == static_cast<DWORD>(kSaveEndedExit))
                << "exit code " << exit << " after " << k << " writes";
            const bool stopped = exit == static_cast<DWORD>(kStoppedExit);
            kills += stopped;
            // In the long form the load that finishes the save is stopped once as well.
            if (stopped && IsSoak())
                kills += RunChild(L"load-and-stop", {std::to_wstring(1 + random() % 40)}) == static_cast<DWORD>(kStoppedExit);
            TaloPresetList loaded;
            LoadPresets(loaded);
            ++loads;
            const bool whole = SameList(loaded, newList) || (stopped && SameList(loaded, oldList));
            RegKey saving;
            const bool tidy = RegOpenKeyExW(HKEY_CURRENT_USER,
                                            (std::wstring(kProductKey) + L"\\" + kSettingSavingSubKey).c_str(), 0,
                                            KEY_READ, saving.Put()) != ERROR_SUCCESS;
            if (!whole || !tidy) {
                ++failures;
                ADD_FAILURE() << "seeds " << oldSeed << "/" << newSeed << ", stopped after " << k << " writes: "
                              << (whole ? "the saving tree is left" : "neither list loads");
            }
            if (!stopped)
                break;
        }
    }
    ReportCount("preset-saves-killed", kills);
    ReportCount("preset-loads-checked", loads);
    ReportCount("preset-kill-failures", failures);
}
