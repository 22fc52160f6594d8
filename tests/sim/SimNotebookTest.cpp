#include "sim/SimNotebook.h"

#include "devices/BtSwCodes.h"
#include "foundation/Names.h"
#include "sim/SimRegistry.h"
#include "tests/support/ScopedSimMachine.h"

#include <gtest/gtest.h>

namespace {

constexpr GUID kNet = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr GUID kNetOther = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x19}};

class SimNotebookTest : public testing::Test {
protected:
    ScopedSimMachine machine;
    CSimNotebook notebook;
};

TEST_F(SimNotebookTest, DeviceReadsBackAsAdded)
{
    ASSERT_TRUE(notebook.AddClass(L"Net", kNet));
    SimDevice device;
    device.instanceId = L"PCI\\VEN_1\\3&0";
    device.enumerator = L"PCI";
    device.className = L"Net";
    device.hardwareIds = {L"PCI\\VEN_1&DEV_2", L"PCI\\VEN_1"};
    device.friendlyName = L"";
    device.description = L"Adapter";
    device.present = false;
    device.disabledGlobal = true;
    device.problem = 28;
    device.capabilities = DN_DISABLEABLE | DN_REMOVABLE;
    device.restartOnChange = true;
    device.pendingDisabled = false;
    device.latencyMs = 1500;
    device.parent = 77;
    device.failures = simfail::kStatus | simfail::kEject;
    const DWORD number = notebook.AddDevice(device);
    ASSERT_NE(0u, number);

    SimDevice read;
    ASSERT_TRUE(notebook.ReadDevice(number, read));
    EXPECT_EQ(number, read.number);
    EXPECT_EQ(device.instanceId, read.instanceId);
    EXPECT_EQ(device.enumerator, read.enumerator);
    EXPECT_EQ(device.className, read.className);
    EXPECT_EQ(kNet, read.classGuid);
    EXPECT_EQ(device.hardwareIds, read.hardwareIds);
    EXPECT_EQ(std::optional<std::wstring>(L""), read.friendlyName); // empty, not missing
    EXPECT_EQ(device.description, read.description);
    EXPECT_FALSE(read.present);
    EXPECT_TRUE(read.disabledGlobal);
    EXPECT_FALSE(read.disabledConfig);
    EXPECT_EQ(28u, read.problem);
    EXPECT_EQ(device.capabilities, read.capabilities);
    EXPECT_TRUE(read.restartOnChange);
    EXPECT_EQ(std::optional<bool>(false), read.pendingDisabled);
    EXPECT_EQ(1500u, read.latencyMs);
    EXPECT_EQ(77u, read.parent);
    EXPECT_EQ(device.failures, read.failures);
}

TEST_F(SimNotebookTest, DevicesAreNumberedAndListedInTheOrderAdded)
{
    ASSERT_TRUE(notebook.AddClass(L"Net", kNet));
    SimDevice device;
    device.className = L"Net";
    device.enumerator = L"PCI";
    for (int i = 1; i <= 12; ++i) {
        device.hardwareIds = {L"PCI\\VEN_" + std::to_wstring(i)};
        ASSERT_EQ(static_cast<DWORD>(i), notebook.AddDevice(device));
    }
    const std::vector<SimDevice> devices = notebook.Devices();
    ASSERT_EQ(12u, devices.size());
    for (size_t i = 0; i < devices.size(); ++i) {
        EXPECT_EQ(i + 1, devices[i].number);
        EXPECT_EQ(L"PCI\\VEN_" + std::to_wstring(i + 1) + L"\\" + std::to_wstring(i + 1), devices[i].instanceId);
        EXPECT_FALSE(devices[i].friendlyName);
    }
    EXPECT_EQ(10u, notebook.FindDevice(L"pci\\ven_10\\10"));
    EXPECT_EQ(3u, notebook.FindDevice(L"3"));
    EXPECT_EQ(0u, notebook.FindDevice(L"13"));
    EXPECT_EQ(0u, notebook.FindDevice(L"PCI\\VEN_99\\99"));
}

TEST_F(SimNotebookTest, ClassesMapOneNameToSeveralGuids)
{
    SimDevice device;
    device.className = L"Net";
    EXPECT_EQ(0u, notebook.AddDevice(device)); // neither a GUID nor a known class

    device.classGuid = kNetOther;
    EXPECT_NE(0u, notebook.AddDevice(device)); // registers the class
    ASSERT_TRUE(notebook.AddClass(L"Net", kNet));
    ASSERT_TRUE(notebook.AddClass(L"NET", kNetOther)); // already there
    EXPECT_EQ((std::vector<GUID>{kNetOther, kNet}), notebook.ClassGuids(L"net"));
    EXPECT_TRUE(notebook.ClassGuids(L"Modem").empty());
    EXPECT_TRUE(notebook.ClassGuids(L"Net\\Sub").empty());
}

TEST_F(SimNotebookTest, DevicesCanBeFilteredByClassEnumeratorAndPresence)
{
    ASSERT_TRUE(notebook.AddClass(L"Net", kNet));
    ASSERT_TRUE(notebook.AddClass(L"Net", kNetOther));
    SimDevice device;
    device.className = L"Net";
    device.enumerator = L"PCI";
    notebook.AddDevice(device);
    device.enumerator = L"USB";
    notebook.AddDevice(device);
    device.classGuid = kNetOther;
    device.present = false;
    notebook.AddDevice(device);

    CSimNotebook::DeviceFilter filter;
    filter.classGuid = &kNet;
    EXPECT_EQ(2u, notebook.Devices(filter).size());
    filter.enumerator = L"usb";
    ASSERT_EQ(1u, notebook.Devices(filter).size());
    EXPECT_EQ(2u, notebook.Devices(filter)[0].number);
    filter = CSimNotebook::DeviceFilter();
    filter.presentOnly = true;
    EXPECT_EQ(2u, notebook.Devices(filter).size());
}

TEST_F(SimNotebookTest, ClearRemovesTheRealKeysTheMachineCreatedOnly)
{
    const std::wstring existing = L"SOFTWARE\\AirvaneSimTestReal" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(simreg::Create(HKEY_LOCAL_MACHINE, existing));
    const std::wstring card = L"9" + std::to_wstring(GetCurrentProcessId());
    const std::wstring cardPath = std::wstring(kNetworkCardsKey) + L"\\" + card;

    ASSERT_TRUE(notebook.AddRealKey(existing + L"\\Services\\Enum"));
    ASSERT_TRUE(notebook.AddNetworkCard(card, L"Adapter", L"{SERVICE}"));
    RegKey cardKey = simreg::Open(HKEY_LOCAL_MACHINE, cardPath);
    ASSERT_TRUE(cardKey);
    EXPECT_EQ(L"Adapter", simreg::ReadString(cardKey.Get(), kNetworkCardDescriptionValue));
    EXPECT_EQ(L"{SERVICE}", simreg::ReadString(cardKey.Get(), kNetworkCardServiceNameValue));
    cardKey.Reset();

    ASSERT_TRUE(notebook.Clear());
    EXPECT_FALSE(simreg::Exists(HKEY_LOCAL_MACHINE, cardPath));
    EXPECT_FALSE(simreg::Exists(HKEY_LOCAL_MACHINE, existing + L"\\Services"));
    EXPECT_TRUE(simreg::Exists(HKEY_LOCAL_MACHINE, existing));
    EXPECT_TRUE(simreg::Exists(HKEY_LOCAL_MACHINE, kNetworkCardsKey));
    EXPECT_TRUE(notebook.Devices().empty());
    EXPECT_TRUE(notebook.ClassNames().empty());
    simreg::DeleteTree(HKEY_LOCAL_MACHINE, existing);
}

TEST_F(SimNotebookTest, RealKeyBelowAVolatileKeyIsCreatedVolatile)
{
    // Wine keeps its list of network cards volatile.
    const std::wstring list = L"SOFTWARE\\AirvaneSimTestVolatile" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(simreg::Create(HKEY_LOCAL_MACHINE, list, REG_OPTION_VOLATILE));
    ASSERT_TRUE(notebook.AddRealKey(list + L"\\7"));
    EXPECT_TRUE(simreg::Exists(HKEY_LOCAL_MACHINE, list + L"\\7"));
    ASSERT_TRUE(notebook.Clear());
    EXPECT_FALSE(simreg::Exists(HKEY_LOCAL_MACHINE, list + L"\\7"));
    simreg::DeleteTree(HKEY_LOCAL_MACHINE, list);
}

TEST_F(SimNotebookTest, DemoNotebookWritesItsRealKeys)
{
    ASSERT_TRUE(SeedDemoNotebook(notebook));
    EXPECT_EQ(6u, notebook.Devices().size());
    RegKey wlanCard = simreg::Open(HKEY_LOCAL_MACHINE, std::wstring(kNetworkCardsKey) + L"\\7");
    ASSERT_TRUE(wlanCard);
    EXPECT_EQ(L"802.11n Wireless LAN Adapter", simreg::ReadString(wlanCard.Get(), kNetworkCardDescriptionValue));
    EXPECT_EQ(L"{8F3C2A61-5D4B-4E1A-9C77-2B1E0D6A4F10}",
              simreg::ReadString(wlanCard.Get(), kNetworkCardServiceNameValue));
    EXPECT_TRUE(simreg::Exists(HKEY_LOCAL_MACHINE, std::wstring(kNetworkCardsKey) + L"\\9"));
    EXPECT_TRUE(simreg::Exists(HKEY_LOCAL_MACHINE, kKvrfusbEnumKey));
}

TEST_F(SimNotebookTest, WlanServiceListsOnlyInterfacesOfWorkingDevices)
{
    ASSERT_TRUE(SeedDemoNotebook(notebook));
    ASSERT_TRUE(notebook.AddWlanInterface({L"Always listed", 0}));
    ASSERT_TRUE(notebook.SetDisabled(1, false, true));
    EXPECT_EQ(std::vector<std::wstring>{L"Always listed"}, notebook.ListedWlanInterfaces());
    ASSERT_TRUE(notebook.SetDisabled(1, false, false));
    EXPECT_EQ(2u, notebook.ListedWlanInterfaces().size());
    ASSERT_TRUE(notebook.SetWlanService({true, false}));
    EXPECT_TRUE(notebook.ListedWlanInterfaces().empty());
}

TEST_F(SimNotebookTest, ScheduledInterfaceChangeTakesEffectAtItsDueTime)
{
    const DWORD radio = notebook.AddInterface(GUID_BTSW_RADIO, L"\\\\?\\RADIO", true);
    const DWORD other = notebook.AddInterface(GUID_BTSW_CONTROL, L"\\\\?\\CONTROL", true);
    ASSERT_TRUE(radio && other);
    ASSERT_TRUE(notebook.ScheduleInterfaces(GUID_BTSW_RADIO, false, 300));
    EXPECT_TRUE(notebook.Interfaces().at(0).present);
    Sleep(450);
    EXPECT_FALSE(notebook.Interfaces().at(0).present);
    EXPECT_TRUE(notebook.Interfaces().at(1).present);

    ASSERT_TRUE(notebook.ScheduleInterfaces(GUID_BTSW_RADIO, true, 0));
    EXPECT_TRUE(notebook.Interfaces().at(0).present);
}

} // namespace
