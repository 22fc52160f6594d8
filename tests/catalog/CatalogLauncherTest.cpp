// The launcher's catalog: no Bluetooth radio, WLAN client version 2.
#include "catalog/DeviceCatalog.h"

#include "devices/WlanDetection.h"
#include "foundation/Names.h"
#include "tests/catalog/CatalogMachine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Records_ = std::vector<Record>;

TEST(CatalogLauncherTest, BluetoothIsASectionNameEvenWithTheStackInstalled)
{
    RegistrySnapshot usb(HKEY_LOCAL_MACHINE, kKvrfusbEnumKey);
    CatalogMachine m;
    m.AddDevice({L"Bluetooth", {L"USB\\VID_0A5C&PID_21E6"}, L"Generic Bluetooth Radio"});
    m.AddBluetoothStack(kKvrfusbEnumKey, true, true);
    CDeviceCatalog catalog(m.TextFile(L"[DeviceList]\n0=BLUETOOTH\n[BLUETOOTH]\n0_Class=Bluetooth\n").c_str());
    EXPECT_EQ(Records_({{L"", L"Bluetooth", L"", 1}}), Records(catalog));
    EXPECT_TRUE(m.notebook.BluetoothCodes().empty());
}

TEST(CatalogLauncherTest, AsksTheWlanServiceAsClientVersionTwo)
{
    CatalogMachine m;
    m.AddWlanAdapter(L"1", L"PCI\\VEN_168C", L"Adapter");
    CDeviceCatalog catalog(m.TextFile(L"[DeviceList]\n0=WLAN\n").c_str());
    EXPECT_EQ(1, catalog.GetSize());
    EXPECT_EQ(kLauncherWlanClientVersion, m.notebook.LastWlanClientVersion());
}

} // namespace
