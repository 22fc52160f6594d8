// With the switching service installed and running under the prefix's service
// manager: the device list it writes on the catalog's behalf (the product's own
// key, restored after each test), and the launcher's notice beside its window.
#include "catalog/DeviceCatalog.h"
#include "catalog/DeviceList.h"
#include "catalog/PresetStore.h"
#include "catalog/PresetsChangedMsg.h"

#include "automation/InstalledService.h"
#include "foundation/CcRegistry.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "tests/catalog/CatalogMachine.h"
#include "sim/SimLayout.h"
#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Records_ = std::vector<Record>;

// The service reads the machine's default simulated notebook, so the tests build
// theirs there: it registers only adapters it finds to be WLAN adapters.
class InstalledServiceEnvironment : public testing::Environment {
public:
    void SetUp() override { installed_ = InstallAndStartService(); }
    void TearDown() override { StopAndRemoveService(); }
    static bool Installed() { return installed_; }

private:
    static inline bool installed_ = false;
};

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new InstalledServiceEnvironment);

bool IsServiceRunning()
{
    KernelHandle block(OpenFileMappingW(FILE_MAP_READ, FALSE, kRequestBlockName));
    return block.IsValid();
}

class DeviceListTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InstalledServiceEnvironment::Installed()) << "sc create / net start failed";
        ASSERT_TRUE(IsServiceRunning());
    }

    CatalogMachine m{simlayout::kDefaultRoot}; // removes the device list; it is restored at the end
};

TEST_F(DeviceListTest, AppendingToAListWithoutDeviceNumStartsAtIndexZero)
{
    m.AddWlanAdapter(L"1", L"PCI\\VEN_0001", L"First adapter");
    m.AddWlanAdapter(L"2", L"PCI\\VEN_0002", L"Second adapter");
    for (const bool keyExists : {false, true}) {
        SCOPED_TRACE(keyExists ? "key without DeviceNum" : "no key");
        m.deviceList.Remove();
        if (keyExists) {
            CcRegistry list;
            ASSERT_TRUE(list.CreateKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS));
        }
        TALO_DEVICEINFO first = DeviceRecord(L"First adapter", L"Net", L"PCI\\VEN_0001", 1, L"not stored");
        AppendDeviceRecord(first);
        EXPECT_EQ(Records_({{L"First adapter", L"Net", L"PCI\\VEN_0001", 0}}), m.Registered());
        AppendDeviceRecord(DeviceRecord(L"Second adapter", L"Net", L"PCI\\VEN_0002", 1, L"not stored"));
        EXPECT_EQ(2u, m.RegisteredCount());
        EXPECT_EQ(Record({L"Second adapter", L"Net", L"PCI\\VEN_0002", 0}), m.Registered().back());
    }
}

TEST_F(DeviceListTest, ARecordWhoseValuesCannotAllBeStoredIsNotCounted)
{
    // The request block holds 255 characters of text: a longer hardware ID is refused,
    // and a counted record without it would stand for the whole class.
    m.AddWlanAdapter(L"1", L"PCI\\VEN_0001", L"Adapter");
    AppendDeviceRecord(DeviceRecord(L"Adapter", L"Net", L"PCI\\VEN_0001" + std::wstring(250, L'0'), 1, L"not stored"));
    EXPECT_EQ(0u, m.RegisteredCount());
    AppendDeviceRecord(DeviceRecord(L"Adapter", L"Net", L"PCI\\VEN_0001", 1, L"not stored"));
    EXPECT_EQ(Records_({{L"Adapter", L"Net", L"PCI\\VEN_0001", 0}}), m.Registered());
}

TEST_F(DeviceListTest, AnAdapterSeenForTheFirstTimeIsRegisteredAndThenListedFromTheRegistry)
{
    m.Register(L"Known adapter", L"Net", L"PCI\\VEN_0001");
    m.AddWlanAdapter(L"1", L"PCI\\VEN_0001", L"Known adapter");
    m.AddWlanAdapter(L"2", L"PCI\\VEN_168C&DEV_002B", L"New adapter");
    const std::wstring text = m.TextFile(L"[DeviceList]\n0=WLAN\n");
    const Records_ expected = {{L"Known adapter", L"Net", L"PCI\\VEN_0001", 1},
                               {L"New adapter", L"Net", L"PCI\\VEN_168C&DEV_002B", 1}};
    {
        CDeviceCatalog first(SettingsCatalogOptions(), text.c_str());
        EXPECT_EQ(expected, Records(first));
    }
    EXPECT_EQ(Records_({{L"Known adapter", L"Net", L"PCI\\VEN_0001", 0},
                        {L"New adapter", L"Net", L"PCI\\VEN_168C&DEV_002B", 0}}),
              m.Registered());

    // The next build names the adapter as the device list does, and registers nothing more.
    {
        CcRegistry list;
        ASSERT_TRUE(list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS));
        list.SetValue(L"1_DeviceName", L"Name from the device list", REG_SZ, 0);
    }
    CDeviceCatalog second(SettingsCatalogOptions(), text.c_str());
    EXPECT_EQ(Records_({expected[0], {L"Name from the device list", L"Net", L"PCI\\VEN_168C&DEV_002B", 1}}),
              Records(second));
    EXPECT_EQ(2u, m.RegisteredCount());
}

TEST_F(DeviceListTest, TheLauncherHearsOfASaveBesideTheServicesWindowOfTheSameClass)
{
    RegistrySnapshot settings(HKEY_CURRENT_USER, std::wstring(kProductKey) + L"\\" + kSettingSubKey);
    ASSERT_NE(0u, RegisterPresetsChangedMsg());
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kLauncherWindowClass;
    ASSERT_NE(0, RegisterClassW(&windowClass));
    HWND launcher = CreateWindowExW(0, kLauncherWindowClass, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(launcher);

    TaloPresetList empty;
    EXPECT_EQ(1, SavePresets(empty));
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, launcher, PresetsChangedMsg, PresetsChangedMsg, PM_REMOVE));
    EXPECT_TRUE(IsServiceRunning()) << "the service's window took the notice in its stride";
    DestroyWindow(launcher);
    UnregisterClassW(kLauncherWindowClass, GetModuleHandleW(nullptr));
}

} // namespace
