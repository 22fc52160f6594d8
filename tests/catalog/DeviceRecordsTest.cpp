#include "catalog/DeviceRecords.h"
#include "tests/support/TestPresets.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void AddDevices(TALO_PRESET& preset, int count)
{
    for (int i = 0; i < count; ++i) {
        TALO_DEVICEINFO device = DeviceRecord(L"device " + std::to_wstring(i), L"Net", L"PCI\\VEN_168C", i, L"shown");
        preset.Devices.SetAtGrow(preset.Devices.GetSize(), device);
    }
}

testing::AssertionResult HasDevices(const TALO_PRESET& preset, int count)
{
    if (preset.Devices.GetSize() != count)
        return testing::AssertionFailure() << preset.Devices.GetSize() << " devices, expected " << count;
    for (int i = 0; i < count; ++i) {
        const TALO_DEVICEINFO& device = preset.Devices[i];
        if (std::wstring(device.DeviceName) != L"device " + std::to_wstring(i) || device.Setting != i ||
            std::wstring(device.Class) != L"Net" || std::wstring(device.HwId) != L"PCI\\VEN_168C" ||
            std::wstring(device.DisplayName) != L"shown")
            return testing::AssertionFailure() << "device " << i << " differs";
    }
    return testing::AssertionSuccess();
}

TEST(TaloPresetTest, AssignmentSizesTheDevicesToTheSourceAndCopiesEachRecord)
{
    for (const int targetCount : {0, 2, 3, 7}) {
        SCOPED_TRACE(targetCount);
        TALO_PRESET source;
        source.Name = L"Travel";
        AddDevices(source, 3);
        TALO_PRESET target;
        target.Name = L"old";
        AddDevices(target, targetCount);
        target = source;
        EXPECT_STREQ(L"Travel", target.Name);
        EXPECT_TRUE(HasDevices(target, 3));
        // Values, not shared state: changing the copy leaves the source alone.
        target.Devices[0].DeviceName = L"changed";
        target.Devices[0].Setting = 42;
        EXPECT_TRUE(HasDevices(source, 3));
    }
}

TEST(TaloPresetTest, AssignmentToItselfKeepsItsDevices)
{
    TALO_PRESET preset;
    preset.Name = L"Office";
    AddDevices(preset, 4);
    TALO_PRESET& same = preset;
    preset = same;
    EXPECT_STREQ(L"Office", preset.Name);
    EXPECT_TRUE(HasDevices(preset, 4));
}

TEST(TaloPresetTest, PresetsKeepTheirDevicesWhileTheListGrowsAndShrinks)
{
    // Growth relocates presets bitwise, their device arrays with them.
    TaloPresetList list;
    for (int i = 0; i < 40; ++i) {
        TALO_PRESET preset;
        preset.Name = std::to_wstring(i).c_str();
        AddDevices(preset, i % 5 + 1);
        list.SetAtGrow(list.GetSize(), preset);
    }
    list.RemoveAt(3, 2);
    ASSERT_EQ(38, list.GetSize());
    for (int i = 0; i < list.GetSize(); ++i) {
        const int original = i < 3 ? i : i + 2;
        SCOPED_TRACE(original);
        EXPECT_STREQ(std::to_wstring(original).c_str(), list[i].Name);
        EXPECT_TRUE(HasDevices(list[i], original % 5 + 1));
    }
}

} // namespace
