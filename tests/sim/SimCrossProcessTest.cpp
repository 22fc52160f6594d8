// One simulated notebook seen alike by several processes.
#include "automation/ProgramRunner.h"
#include "devices/BtSwCodes.h"
#include "devices/DeviceApi.h"
#include "devices/DeviceControl.h"
#include "tests/support/ScopedSimMachine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kWlan[] = L"Net \"PCI\\VEN_168C\"";

class SimCrossProcessTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SeedDemoNotebook(notebook)); }

    static int Child(const std::wstring& arguments)
    {
        return RunProgram(PathBesideTest(L"sim_device_child.exe"), arguments);
    }

    static int Tool(const std::wstring& arguments, std::string* output = nullptr)
    {
        return RunProgram(PathBesideTest(L"..\\sim\\bin\\AirvaneSim.exe"), arguments, output);
    }

    ScopedSimMachine machine;
    CSimNotebook notebook;
};

TEST_F(SimCrossProcessTest, DeviceDisabledByOneProcessReadsDisabledFromAnother)
{
    int disable = 0;
    ASSERT_EQ(1, DeviceCtlByHwId(1, &disable, L"Net", L"PCI\\VEN_168C", nullptr));
    EXPECT_EQ(DEVSTAT_DISABLED + 1, Child(L"query " + std::wstring(kWlan)));

    EXPECT_EQ(1, Child(L"switch " + std::wstring(kWlan) + L" on"));
    int state = 42;
    ASSERT_EQ(1, DeviceCtlByHwId(0, &state, L"Net", L"PCI\\VEN_168C", nullptr));
    EXPECT_EQ(DEVSTAT_ENABLED, state);
    EXPECT_EQ(DEVSTAT_ENABLED + 1, Child(L"query Net PCI"));
}

TEST_F(SimCrossProcessTest, DelayedRadioChangeReachesOtherProcessesAtItsDueTime)
{
    ASSERT_TRUE(notebook.SetBluetoothSwitch(400, false));
    IDeviceApi& api = DeviceApi();
    std::wstring control;
    for (const SimInterface& entry : notebook.Interfaces()) {
        if (entry.interfaceGuid == GUID_BTSW_CONTROL)
            control = entry.path;
    }
    DeviceFile device(api.CreateFileW(control.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
    ASSERT_TRUE(device);
    DWORD returned = 0;
    const ULONGLONG sent = GetTickCount64();
    ASSERT_TRUE(api.DeviceIoControl(device.Get(), IOCTL_BTSW_OFF, nullptr, 0, nullptr, 0, &returned, nullptr));
    const int early = Child(L"radio");
    if (GetTickCount64() - sent < 400) {
        EXPECT_EQ(1, early);
    }
    Sleep(550);
    EXPECT_EQ(0, Child(L"radio"));
}

TEST_F(SimCrossProcessTest, ToolChangesAndShowsTheMachine)
{
    EXPECT_EQ(0, Tool(L"set 2 disabled"));
    EXPECT_EQ(0, Tool(L"set \"USB\\VID_1E0E&PID_9001\\5&3A1F0C2D&0&1\" absent"));
    EXPECT_EQ(0, Tool(L"fail 5 installer,status"));
    EXPECT_EQ(0, Tool(L"bluetooth off"));
    EXPECT_EQ(0, Tool(L"bluetooth delay 1500"));
    EXPECT_EQ(0, Tool(L"wlan stopped"));
    SimDevice device;
    ASSERT_TRUE(notebook.ReadDevice(2, device));
    EXPECT_TRUE(device.disabledConfig);
    ASSERT_TRUE(notebook.ReadDevice(3, device));
    EXPECT_FALSE(device.present);
    ASSERT_TRUE(notebook.ReadDevice(5, device));
    EXPECT_EQ(simfail::kClassInstaller | simfail::kStatus, device.failures);
    EXPECT_FALSE(notebook.WlanService().running);
    EXPECT_EQ(1500u, notebook.BluetoothSwitchDelay());

    std::string shown;
    EXPECT_EQ(0, Tool(L"show", &shown));
    for (const char* expected : {"PCIe Gigabit Ethernet Controller", "disabled", "not present",
                                 "fails: installer+status", "removable", "Bluetooth radio     off", "stopped",
                                 "802.11n Wireless LAN Adapter"})
        EXPECT_NE(std::string::npos, shown.find(expected)) << expected << " in\n" << shown;

    shown.clear();
    EXPECT_EQ(0, Tool(L"show brief", &shown));
    for (const char* expected : {"  1   enabled      802.11n Wireless LAN Adapter", "  2   disabled     PCIe Gigabit",
                                 "  3   not present  USB Composite", "      off          Bluetooth radio"})
        EXPECT_NE(std::string::npos, shown.find(expected)) << expected << " in\n" << shown;
    EXPECT_EQ(std::string::npos, shown.find("Class")) << "one state and name a line";

    EXPECT_EQ(1, Tool(L"set 99 enabled"));
    EXPECT_EQ(2, Tool(L"bluetooth delay soon"));
    EXPECT_EQ(2, Tool(L"set 2 sideways"));
    EXPECT_EQ(2, Tool(L"fail 2 everything"));
    EXPECT_EQ(0, Tool(L"clear"));
    EXPECT_TRUE(notebook.Devices().empty());
    EXPECT_EQ(0, Tool(L"seed demo"));
    EXPECT_EQ(6u, notebook.Devices().size());
}

} // namespace
