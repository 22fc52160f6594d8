// The Bluetooth radio behind the stack's control device, on a simulated notebook
// that logs the control codes it receives.
#include "devices/BtSwPowerCtl.h"

#include "automation/RegistrySnapshot.h"
#include "devices/BtStackPresence.h"
#include "devices/BtSwCodes.h"
#include "foundation/Names.h"
#include "sim/SimDeviceApi.h"
#include "tests/support/FakeDeviceApi.h"
#include "tests/support/ScopedSimMachine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kControlPath[] = L"\\\\?\\ROOT#KVRFUSB#0000#{2f5831d5-96ca-461f-8012-4132f56feba3}";
constexpr wchar_t kRadioPath[] = L"\\\\?\\ROOT#KVRFUSB#0001#{90b11c7a-f14e-4093-9163-c5bc79c5d6b9}";

using Codes = std::vector<DWORD>;

class BtSwPowerCtlTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(notebook.SetBluetoothSwitch(0, false)); }

    void TearDown() override { EXPECT_EQ(0u, static_cast<CSimDeviceApi&>(DefaultDeviceApi()).OpenObjectCount()); }

    void AddStack(bool radioOn)
    {
        ASSERT_NE(0u, notebook.AddInterface(GUID_BTSW_CONTROL, kControlPath, true));
        ASSERT_NE(0u, notebook.AddInterface(GUID_BTSW_RADIO, kRadioPath, radioOn));
    }

    bool IsRadioOn() const
    {
        for (const SimInterface& entry : notebook.Interfaces()) {
            if (entry.interfaceGuid == GUID_BTSW_RADIO && entry.present)
                return true;
        }
        return false;
    }

    ScopedSimMachine machine;
    CSimNotebook notebook;
};

TEST_F(BtSwPowerCtlTest, RadioAlreadyAsAskedIsLeftAloneWithoutAnyCode)
{
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "on" : "off");
        ASSERT_TRUE(notebook.Clear());
        AddStack(on);
        EXPECT_EQ(1, SetBtPower(on ? 1 : 0));
        EXPECT_EQ(Codes(), notebook.BluetoothCodes());
        EXPECT_EQ(on, IsRadioOn());
    }
}

TEST_F(BtSwPowerCtlTest, WithoutTheControlDeviceNothingIsSent)
{
    ASSERT_NE(0u, notebook.AddInterface(GUID_BTSW_RADIO, kRadioPath, true));
    ASSERT_NE(0u, notebook.AddInterface(GUID_BTSW_CONTROL, kControlPath, false));
    int on = 42;
    EXPECT_EQ(0, GetBtPower(&on));
    EXPECT_EQ(0, on);
    EXPECT_EQ(0, SetBtPower(0));
    EXPECT_EQ(0, SetBtPower(1));
    EXPECT_EQ(Codes(), notebook.BluetoothCodes());
}

TEST_F(BtSwPowerCtlTest, GetBtPowerReportsWhetherTheRadioInterfaceIsPresent)
{
    AddStack(true);
    int on = 0;
    EXPECT_EQ(1, GetBtPower(&on));
    EXPECT_EQ(1, on);
    ASSERT_TRUE(notebook.ScheduleInterfaces(GUID_BTSW_RADIO, false, 0));
    EXPECT_EQ(1, GetBtPower(&on));
    EXPECT_EQ(0, on);
    EXPECT_EQ(0, GetBtPower(nullptr));
}

TEST_F(BtSwPowerCtlTest, SwitchingOnSendsPreOnThenOn)
{
    AddStack(false);
    EXPECT_EQ(1, SetBtPower(1));
    EXPECT_EQ(Codes({IOCTL_BTSW_PRE_ON, IOCTL_BTSW_ON}), notebook.BluetoothCodes());
    EXPECT_TRUE(IsRadioOn());
}

TEST_F(BtSwPowerCtlTest, ARefusedSwitchFails)
{
    AddStack(false);
    ASSERT_TRUE(notebook.SetBluetoothSwitch(0, true));
    EXPECT_EQ(0, SetBtPower(1));
    EXPECT_EQ(Codes({IOCTL_BTSW_PRE_ON, IOCTL_BTSW_ON}), notebook.BluetoothCodes());
}

TEST_F(BtSwPowerCtlTest, SwitchingOffWaitsForTheRadioToGoBeforePostOff)
{
    AddStack(true);
    ASSERT_TRUE(notebook.SetBluetoothSwitch(300, false));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(1, SetBtPower(0));
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_EQ(Codes({IOCTL_BTSW_OFF, IOCTL_BTSW_POST_OFF}), notebook.BluetoothCodes());
    EXPECT_FALSE(IsRadioOn());
    // Three or four sleeps of 100 ms; far from the 10 s limit.
    EXPECT_GE(elapsed, 300u);
    EXPECT_LT(elapsed, 1500u);
}

TEST_F(BtSwPowerCtlTest, OnlyTheFirstControlDeviceIsUsed)
{
    AddStack(false);
    ASSERT_NE(0u, notebook.AddInterface(GUID_BTSW_CONTROL, L"\\\\?\\ROOT#KVRFUSB#0002#second", true));
    // While another holds the first control device, the second is not tried.
    IDeviceApi& api = DeviceApi();
    DeviceFile first(api.CreateFileW(kControlPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
    ASSERT_TRUE(first);
    EXPECT_EQ(0, SetBtPower(1));
    EXPECT_EQ(Codes(), notebook.BluetoothCodes());
    first.Reset();
    EXPECT_EQ(1, SetBtPower(1));
    // Each operation closed the device again: an exclusive open succeeds.
    EXPECT_TRUE(DeviceFile(api.CreateFileW(kControlPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                           nullptr)));
}

TEST_F(BtSwPowerCtlTest, IoControlNeedsAnOpenDeviceAndTakesNoByteCount)
{
    AddStack(true);
    CBtSwPowerCtl control;
    EXPECT_FALSE(control.IoControl(IOCTL_BTSW_PRE_ON, nullptr, 0, nullptr, 0, nullptr, nullptr));
    ASSERT_EQ(1, control.Open());
    EXPECT_EQ(1, control.Open()) << "already open";
    EXPECT_TRUE(control.IoControl(IOCTL_BTSW_PRE_ON, nullptr, 0, nullptr, 0, nullptr, nullptr));
    control.Close();
    EXPECT_FALSE(control.IoControl(IOCTL_BTSW_PRE_ON, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(Codes({IOCTL_BTSW_PRE_ON}), notebook.BluetoothCodes());
}

TEST_F(BtSwPowerCtlTest, FindInterfacePathReportsOnlyAPathThatFits)
{
    AddStack(true);
    const DWORD length = static_cast<DWORD>(wcslen(kRadioPath));
    wchar_t path[256];
    EXPECT_EQ(0, CBtSwPowerCtl::FindInterfacePath(&GUID_BTSW_RADIO, path, length));
    ASSERT_EQ(1, CBtSwPowerCtl::FindInterfacePath(&GUID_BTSW_RADIO, path, length + 1));
    EXPECT_STREQ(kRadioPath, path);
    EXPECT_EQ(0, CBtSwPowerCtl::FindInterfacePath(nullptr, path, 256));
    EXPECT_EQ(0, CBtSwPowerCtl::FindInterfacePath(&GUID_BTSW_RADIO, nullptr, 256));
}

TEST(BtSwPowerCtlFakeTest, FindInterfacePathWithTenCharactersDoesNotAskTheSystem)
{
    FakeDeviceApi fake;
    ScopedDeviceApi scoped(fake);
    wchar_t path[11];
    EXPECT_EQ(0, CBtSwPowerCtl::FindInterfacePath(&GUID_BTSW_CONTROL, path, 10));
    EXPECT_TRUE(fake.calls.empty());
    CBtSwPowerCtl::FindInterfacePath(&GUID_BTSW_CONTROL, path, 11);
    EXPECT_EQ(1u, fake.CallsOf(FakeDeviceApi::Op::GetClassDevs).size());
}

TEST(BtStackPresenceTest, EachServiceIsKnownByItsEnumKey)
{
    RegistrySnapshot usb(HKEY_LOCAL_MACHINE, kKvrfusbEnumKey);
    RegistrySnapshot bd(HKEY_LOCAL_MACHINE, kKvrfbdEnumKey);
    usb.Remove();
    bd.Remove();
    EXPECT_EQ(0, IsKvrfusbPresent());
    EXPECT_EQ(0, IsKvrfbdPresent());
    ScopedSimMachine machine;
    CSimNotebook notebook;
    ASSERT_TRUE(notebook.AddRealKey(kKvrfbdEnumKey));
    EXPECT_EQ(0, IsKvrfusbPresent());
    EXPECT_EQ(1, IsKvrfbdPresent());
    ASSERT_TRUE(notebook.AddRealKey(kKvrfusbEnumKey));
    EXPECT_EQ(1, IsKvrfusbPresent());
}

} // namespace
