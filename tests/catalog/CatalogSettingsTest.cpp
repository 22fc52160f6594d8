// The settings program's catalog: the Bluetooth radio and WLAN client version 1.
#include "catalog/DeviceCatalog.h"

#include "devices/WlanDetection.h"
#include "foundation/Names.h"
#include "tests/catalog/CatalogMachine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Records_ = std::vector<Record>;

const std::wstring kText = LR"([DeviceList]
0=Bluetooth
1=WLAN
[BLUETOOTH]
0_Class=Bluetooth
0_DisplayName=Bluetooth devices
)";

TEST(CatalogSettingsTest, BluetoothMeansTheStacksRadioWhenItsServiceIsInstalled)
{
    const Records_ sectionEntries = {{L"Bluetooth devices", L"Bluetooth", L"", 1}};
    const struct {
        const char* what;
        const wchar_t* serviceKey;
        bool controlPresent;
        bool radioOn;
        Records_ expected;
    } cases[] = {
        {"no stack", nullptr, true, true, sectionEntries},
        {"Kvrfusb, radio on", kKvrfusbEnumKey, true, true, {{L"Bluetooth", L"#KVBT#", L"#KVBT#", 1}}},
        {"Kvrfbd, radio off", kKvrfbdEnumKey, true, false, {{L"Bluetooth", L"#KVBT#", L"#KVBT#", 0}}},
        {"Kvrfusb without control device", kKvrfusbEnumKey, false, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegistrySnapshot usb(HKEY_LOCAL_MACHINE, kKvrfusbEnumKey);
        RegistrySnapshot bd(HKEY_LOCAL_MACHINE, kKvrfbdEnumKey);
        usb.Remove();
        bd.Remove();
        CatalogMachine m;
        m.AddDevice({L"Bluetooth", {L"USB\\VID_0A5C&PID_21E6"}, L"Generic Bluetooth Radio"});
        m.AddBluetoothStack(c.serviceKey, c.controlPresent, c.radioOn);
        CDeviceCatalog catalog(m.TextFile(kText).c_str());
        EXPECT_EQ(c.expected, Records(catalog));
    }
}

TEST(CatalogSettingsTest, AsksTheWlanServiceAsClientVersionOne)
{
    CatalogMachine m;
    m.AddWlanAdapter(L"1", L"PCI\\VEN_168C", L"Adapter");
    CDeviceCatalog catalog(m.TextFile(L"[DeviceList]\n0=WLAN\n").c_str());
    EXPECT_EQ(1, catalog.GetSize());
    EXPECT_EQ(kSettingsWlanClientVersion, m.notebook.LastWlanClientVersion());
}

} // namespace
