// Catalog discovery on simulated notebooks: what each reader lists, in which order,
// and how it treats values that do not fit; run with the options of either program.
#include "catalog/DeviceCatalog.h"

#include "devices/DeviceSnapshot.h"
#include "devices/WlanDetection.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"
#include "tests/catalog/CatalogMachine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Records_ = std::vector<Record>;

constexpr wchar_t kWlanHwId[] = L"PCI\\VEN_168C&DEV_002B";
constexpr wchar_t kWlanName[] = L"802.11n Wireless LAN Adapter";
constexpr wchar_t kModemRoot[] = L"USB\\VID_1E0E&PID_9001";

const std::wstring kUmtsSection = LR"(
[UMTS]
UMTS0_ROOT_CLASS=USB
UMTS0_ROOT_HWID=USB\VID_1E0E&PID_9001
UMTS0_ROOT_DISPLAYNAME=UMTS modem
)";

// The two programs' catalogs.
struct Flavour {
    const char* name;
    CatalogOptions (*options)();
    bool bluetoothRadio; // "BLUETOOTH" means the stack's radio when its service is installed
    DWORD wlanClientVersion;
};

const Flavour kFlavours[] = {
    {"Settings", SettingsCatalogOptions, true, kSettingsWlanClientVersion},
    {"Launcher", LauncherCatalogOptions, false, kLauncherWlanClientVersion},
};

class CatalogTest : public testing::TestWithParam<Flavour> {
protected:
    static CatalogOptions Options() { return GetParam().options(); }

    Records_ Build(const std::wstring& text)
    {
        CDeviceCatalog catalog(Options(), m.TextFile(text).c_str());
        return Records(catalog);
    }

    DWORD AddModem(bool disabled = false)
    {
        return m.AddDevice({L"USB", {L"USB\\VID_1E0E&PID_9001&REV_0232", kModemRoot}, L"USB Composite Device",
                            std::nullopt, disabled});
    }

    CatalogMachine m;
};

TEST_P(CatalogTest, ListsWlanThenUmtsRegisteredAdaptersBeforeNewCards)
{
    m.AddWlanAdapter(L"1", L"PCI\\VEN_8086&DEV_4229", L"Registered adapter", true);
    m.Register(L"Name kept in the device list", L"Net", L"PCI\\VEN_8086&DEV_4229");
    m.AddWlanAdapter(L"2", kWlanHwId, kWlanName);
    AddModem();
    m.AddDevice({L"Bluetooth", {L"USB\\VID_0A5C"}, L"Radio"});

    const Records_ records = Build(LR"([DeviceList]
0=WLAN
1=UMTS
3=Extra
[Extra]
0_Class=Bluetooth
)" + kUmtsSection);
    EXPECT_EQ(Records_({{L"Name kept in the device list", L"Net", L"PCI\\VEN_8086&DEV_4229", 0},
                        {kWlanName, L"Net", kWlanHwId, 1},
                        {L"UMTS modem", L"#UMTS#", kModemRoot, 1}}),
              records);
}

TEST_P(CatalogTest, AnAdapterInTheDeviceListIsNotListedAgainAsACard)
{
    m.AddWlanAdapter(L"1", kWlanHwId, kWlanName);
    m.Register(L"Stored name", L"Net", kWlanHwId);
    EXPECT_EQ(Records_({{L"Stored name", L"Net", kWlanHwId, 1}}), Build(L"[DeviceList]\n0=WLAN\n"));
    EXPECT_EQ(1u, m.RegisteredCount()) << "nothing new to register";
}

TEST_P(CatalogTest, AMissingKeyEndsTheDeviceList)
{
    m.AddDevice({L"Modem", {L"USB\\VID_1E0E&PID_9001&MI_02"}, L"HSPA Modem"});
    m.AddDevice({L"Ports", {L"USB\\VID_1E0E&PID_9001&MI_01"}, L"HSPA Port"});
    const Records_ records = Build(LR"([DeviceList]
0=First
2=Second
[First]
0_Class=Modem
0_DisplayName=Modem
[Second]
0_Class=Ports
)");
    EXPECT_EQ(Records_({{L"Modem", L"Modem", L"", 1}}), records);
}

TEST_P(CatalogTest, GenericEntriesAreListedByTheirState)
{
    // Class-only entries count unless no device answers; hardware-ID entries need one definite state.
    m.AddDevice({L"Modem", {L"MODEM\\A"}, L"Modem A"});
    m.AddDevice({L"Modem", {L"MODEM\\B"}, L"Modem B", std::nullopt, true});
    m.AddDevice({L"Ports", {L"PORTS\\OFF"}, L"Port", std::nullopt, true});
    m.AddDevice({L"USB", {L"USB\\MIXED&1"}, L"Hub 1"});
    m.AddDevice({L"USB", {L"USB\\MIXED&2"}, L"Hub 2", std::nullopt, true});
    m.AddDevice({L"USB", {L"USB\\FRIENDLY"}, L"Description", std::wstring(L"Friendly name")});
    m.AddDevice({L"USB", {L"USB\\UNNAMED"}, L"Description only", std::wstring(L"")});
    m.AddDevice({L"USB", {L"USB\\GONE"}, L"Gone", std::nullopt, false, false});
    const Records_ records = Build(LR"([DeviceList]
0=Generic
[Generic]
0_Class=Modem
0_DisplayName=Mixed class
1_Class=Ports
2_Class=Bluetooth
2_DisplayName=No such device
3_Class=USB
3_HwId=usb\mixed
4_Class=USB
4_HwId=USB\FRIENDLY
4_DisplayName=Shown name
5_Class=USB
5_HwId=USB\FRIENDLY
6_Class=USB
6_HwId=USB\UNNAMED
7_Class=USB
7_HwId=USB\GONE
8_Class=Ports
8_HwId=PORTS\OFF
)");
    EXPECT_EQ(Records_({{L"Mixed class", L"Modem", L"", 1},
                        {L"", L"Ports", L"", 0},
                        {L"Shown name", L"USB", L"USB\\FRIENDLY", 1},
                        {L"Friendly name", L"USB", L"USB\\FRIENDLY", 1},
                        {L"Description only", L"USB", L"USB\\UNNAMED", 1},
                        {L"Port", L"Ports", L"PORTS\\OFF", 0}}),
              records);
}

TEST_P(CatalogTest, AnEmptyClassEndsASection)
{
    m.AddDevice({L"Modem", {L"MODEM\\A"}, L"Modem A"});
    const Records_ records = Build(LR"([DeviceList]
0=Generic
1=Generic
[Generic]
0_Class=Modem
1_HwId=MODEM\A
2_Class=Modem
)");
    EXPECT_EQ(Records_({{L"", L"Modem", L"", 1}, {L"", L"Modem", L"", 1}}), records);
}

TEST_P(CatalogTest, TextValuesLongerThan127CharactersCountAsMissing)
{
    // Each value, cut to 127 characters, would name something that exists.
    const std::wstring fits(127, L'n');
    const std::wstring tooLong(128, L'n');
    const std::wstring longHwId = L"MODEM\\A" + std::wstring(121, L'x');
    const std::wstring longRoot = std::wstring(kModemRoot) + std::wstring(107, L'0');
    m.AddDevice({L"Modem", {longHwId}, L"Modem A"});
    m.AddDevice({L"USB", {longRoot}, L"USB Composite Device"});
    const std::wstring modems = L"[DeviceList]\n0=Generic\n[Generic]\n0_Class=Modem\n";
    const std::wstring modem = L"[DeviceList]\n0=UMTS\n[UMTS]\nUMTS0_ROOT_CLASS=USB\nUMTS0_ROOT_HWID=";
    const struct {
        const char* what;
        std::wstring text;
        Records_ expected;
    } cases[] = {
        {"device list value",
         L"[DeviceList]\n0=Generic\n1=" + tooLong + L"\n2=Generic\n[Generic]\n0_Class=Modem\n[" + fits +
             L"]\n0_Class=Modem\n0_DisplayName=cut\n",
         {{L"", L"Modem", L"", 1}}},
        {"class", modems + L"1_Class=" + tooLong + L"\n2_Class=Modem\n", {{L"", L"Modem", L"", 1}}},
        {"hardware ID", modems + L"0_HwId=" + longHwId + L"\n", {}},
        {"display name", modems + L"0_HwId=MODEM\\A\n0_DisplayName=" + tooLong + L"\n", {}},
        {"display name that fits", modems + L"0_HwId=MODEM\\A\n0_DisplayName=" + fits + L"\n",
         {{fits, L"Modem", L"MODEM\\A", 1}}},
        {"UMTS hardware ID", modem + longRoot + L"\n", {}},
        {"UMTS display name", modem + kModemRoot + L"\nUMTS0_ROOT_DISPLAYNAME=" + tooLong + L"\n", {}},
        {"UMTS display name that fits", modem + kModemRoot + L"\nUMTS0_ROOT_DISPLAYNAME=" + fits + L"\n",
         {{fits, L"#UMTS#", kModemRoot, 1}}},
        {"UMTS class", L"[DeviceList]\n0=UMTS\n[UMTS]\nUMTS0_ROOT_CLASS=" + tooLong + L"\nUMTS0_ROOT_HWID=USB\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, Build(c.text));
    }
}

TEST_P(CatalogTest, NamesAndHardwareIdsFromDeviceControlKeepTheirFullLength)
{
    const std::wstring name511(511, L'N');
    m.AddDevice({L"Modem", {L"MODEM\\LONG"}, L"Description", name511});
    // The longest first hardware ID whose list still fits the 1024-byte property buffer.
    const std::wstring hwId510 = L"PCI\\VEN_168C" + std::wstring(498, L'0');
    // The WLAN service reports descriptions of up to 255 characters.
    const std::wstring description255 = L"Wireless " + std::wstring(246, L'w');
    m.AddWlanAdapter(L"1", hwId510, description255);

    const Records_ records = Build(L"[DeviceList]\n0=Generic\n1=WLAN\n[Generic]\n0_Class=Modem\n0_HwId=MODEM\\LONG\n");
    EXPECT_EQ(Records_({{name511, L"Modem", L"MODEM\\LONG", 1}, {description255, L"Net", hwId510, 1}}), records);
}

TEST_P(CatalogTest, NetworkCardsWhoseNameOrValuesDoNotFitArePassedOver)
{
    m.AddWlanAdapter(L"0" + std::wstring(40, L'k'), L"PCI\\VEN_0001", L"Card with a long key");
    m.AddWlanAdapter(L"1", L"PCI\\VEN_0002", L"Card " + std::wstring(255, L'd')); // 260 characters
    m.AddWlanAdapter(L"2", L"PCI\\VEN_0003", L"Card with a long service name");
    ASSERT_TRUE(m.notebook.AddNetworkCard(CatalogMachine::CardKey(L"2"), L"Card with a long service name",
                                          std::wstring(260, L's')));
    m.AddWlanAdapter(L"3", L"PCI\\VEN_0004", L"Card that fits");

    EXPECT_EQ(Records_({{L"Card that fits", L"Net", L"PCI\\VEN_0004", 1}}), Build(L"[DeviceList]\n0=WLAN\n"));
}

TEST_P(CatalogTest, TwoCardsWithOneDescriptionAreListedOnce)
{
    m.AddWlanAdapter(L"1", L"PCI\\VEN_0001", L"Twin adapter");
    m.AddWlanAdapter(L"2", L"PCI\\VEN_0002", L"Twin adapter", true);
    EXPECT_EQ(Records_({{L"Twin adapter", L"Net", L"PCI\\VEN_0001", 1}}), Build(L"[DeviceList]\n0=WLAN\n"));
}

TEST_P(CatalogTest, ARegisteredAdapterThatIsGoneIsNotListedAndStaysRegistered)
{
    m.AddDevice({L"Net", {L"PCI\\VEN_0001"}, L"Removed adapter", std::nullopt, false, false});
    m.AddDevice({L"Net", {L"PCI\\VEN_0002"}, L"Mixed 1"});
    m.AddDevice({L"Net", {L"PCI\\VEN_0002&SUB"}, L"Mixed 2", std::nullopt, true});
    m.AddDevice({L"Net", {L"PCI\\VEN_0003"}, L"Present adapter"});
    m.Register(L"Removed adapter", L"Net", L"PCI\\VEN_0001");
    m.Register(L"Mixed", L"Net", L"PCI\\VEN_0002");
    m.Register(L"Present adapter", L"Net", L"PCI\\VEN_0003");
    const Records_ registered = m.Registered();

    EXPECT_EQ(Records_({{L"Present adapter", L"Net", L"PCI\\VEN_0003", 1}}), Build(L"[DeviceList]\n0=WLAN\n"));
    EXPECT_EQ(registered, m.Registered());
}

TEST_P(CatalogTest, ARegisteredRecordWithoutHardwareIdDoesNotStandForItsWholeClass)
{
    m.AddDevice({L"Net", {L"PCI\\VEN_0003"}, L"Present adapter"});
    m.Register(L"Incomplete", L"Net", L"");
    m.Register(L"", L"", L"PCI\\VEN_0003");
    EXPECT_EQ(Records_(), Build(L"[DeviceList]\n0=WLAN\n"));
}

TEST_P(CatalogTest, RegisteredRecordsEndAtTheFirstIncompleteOneWhateverTheCount)
{
    m.AddDevice({L"Net", {L"PCI\\VEN_0003"}, L"Present adapter"});
    m.AddDevice({L"Net", {L"PCI\\VEN_0004"}, L"Planted adapter"});
    m.Register(L"Present adapter", L"Net", L"PCI\\VEN_0003");
    m.Register(L"Planted adapter", L"Net", L"PCI\\VEN_0004");
    CcRegistry list;
    ASSERT_TRUE(list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS));
    ASSERT_TRUE(list.DeleteValue(L"1_Class"));
    ASSERT_TRUE(list.SetValue(L"2_DeviceName", L"After the gap", REG_SZ, 0) && list.SetValue(L"2_Class", L"Net", REG_SZ, 0) &&
                list.SetValue(L"2_HwId", L"PCI\\VEN_0004", REG_SZ, 0));
    // A count no list reaches: the reader stops at the gap, not after 2^31 records.
    ASSERT_TRUE(list.SetDWord(kDeviceNumValue, 2147483647));
    EXPECT_EQ(Records_({{L"Present adapter", L"Net", L"PCI\\VEN_0003", 1}}), Build(L"[DeviceList]\n0=WLAN\n"));
}

TEST_P(CatalogTest, WinesOwnNetworkCardsAreNotWlan)
{
    // Wine lists lo, ifb0, ifb1 and eth0 as network cards; give them devices, so
    // that only the WLAN test keeps them out.
    for (const wchar_t* name : {L"lo", L"ifb0", L"ifb1", L"eth0"})
        m.AddDevice({L"Net", {std::wstring(L"WINE\\") + name}, name});
    m.AddWlanAdapter(L"1", kWlanHwId, kWlanName);
    EXPECT_EQ(Records_({{kWlanName, L"Net", kWlanHwId, 1}}), Build(L"[DeviceList]\n0=WLAN\n"));
}

TEST_P(CatalogTest, UmtsListedTwiceIsListedTwice)
{
    AddModem(true);
    const Records_ records = Build(L"[DeviceList]\n0=UMTS\n1=umts\n" + kUmtsSection);
    EXPECT_EQ(Records_({{L"UMTS modem", L"#UMTS#", kModemRoot, 0}, {L"UMTS modem", L"#UMTS#", kModemRoot, 0}}),
              records);
}

TEST_P(CatalogTest, UmtsModemTakesTheFirstEntryWhoseRootIsPresentInADefiniteState)
{
    AddModem();
    m.AddDevice({L"USB", {L"USB\\VID_1E0E&PID_9011&A"}, L"Mixed 1"});
    m.AddDevice({L"USB", {L"USB\\VID_1E0E&PID_9011&B"}, L"Mixed 2", std::nullopt, true});
    m.AddDevice({L"USB", {L"USB\\VID_1E0E&PID_9022"}, L"Gone", std::nullopt, false, false});
    const std::wstring entries = LR"(
UMTS0_ROOT_CLASS=USB
UMTS0_ROOT_HWID=USB\VID_1E0E&PID_9022
UMTS0_ROOT_DISPLAYNAME=Not installed
UMTS1_ROOT_CLASS=USB
UMTS1_ROOT_HWID=USB\VID_1E0E&PID_9011
UMTS1_ROOT_DISPLAYNAME=Mixed
)";
    const struct {
        const char* what;
        std::wstring entry2;
        int found;
        Records_ expected;
    } cases[] = {
        {"entry 2 present", L"UMTS2_ROOT_CLASS=USB\nUMTS2_ROOT_HWID=USB\\VID_1E0E&PID_9001\n", 1,
         {{L"USB Composite Device", L"#UMTS#", kModemRoot, 1}}},
        {"no entry 2", L"UMTS3_ROOT_CLASS=USB\nUMTS3_ROOT_HWID=USB\\VID_1E0E&PID_9001\n", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CDeviceCatalog catalog(Options(), m.TextFile(L"[DeviceList]\n0=UMTS\n[UMTS]" + entries + c.entry2).c_str());
        EXPECT_EQ(c.expected, Records(catalog));
        UmtsEntry entry;
        EXPECT_EQ(c.found != 0, catalog.FindPresentUmtsEntry(entry));
        EXPECT_EQ(c.found ? 2 : 0, entry.root.index);
    }
}

// Whether a preset's device needs no switch, as a switch itself would judge it
// from the devices the build saw: every device it selects in the wanted state, a
// working one for on; the modem with all its parts.
TEST_P(CatalogTest, IsInStateOnlyWhenASwitchWouldChangeNothing)
{
    AddModem();
    m.AddDevice({L"Ports", {L"USB\\VID_1E0E&PID_9001&MI_01"}, L"Modem port"});
    const DWORD diag = m.AddDevice({L"Ports", {L"USB\\VID_1E0E&PID_9001&MI_02"}, L"Diagnostics"});
    m.AddDevice({L"USB", {L"USB\\MIXED&1"}, L"Hub 1"});
    m.AddDevice({L"USB", {L"USB\\MIXED&2"}, L"Hub 2", std::nullopt, true});
    const DWORD failing = m.AddDevice({L"USB", {L"USB\\CAMERA"}, L"Camera"});
    m.AddDevice({L"Modem", {L"MODEM\\OFF"}, L"Modem off", std::nullopt, true});
    const std::wstring text = L"[DeviceList]\n0=UMTS\n" + kUmtsSection +
                              L"UMTS0_SUBNUM=2\nUMTS0_SUB0_CLASS=Ports\nUMTS0_SUB0_HWID=USB\\VID_1E0E&PID_9001&MI_01\n"
                              L"UMTS0_SUB1_CLASS=Ports\nUMTS0_SUB1_HWID=USB\\VID_1E0E&PID_9001&MI_02\n";
    const struct {
        const char* what;
        const wchar_t* className;
        const wchar_t* hwId;
        int setting;
        bool inState;
    } cases[] = {
        {"modem and parts on, wanted on", L"#UMTS#", kModemRoot, 1, true},
        {"modem on, wanted off", L"#umts#", kModemRoot, 0, false},
        {"devices of a prefix that disagree", L"USB", L"USB\\MIXED", 1, false},
        {"a prefix that selects nothing", L"USB", L"USB\\NONE", 1, false},
        {"a whole class, all off", L"Modem", L"", 0, true},
        {"a device with a problem, wanted on", L"USB", L"USB\\CAMERA", 1, false},
    };
    ASSERT_TRUE(m.notebook.SetProblem(failing, 10));
    CDeviceCatalog catalog(Options(), m.TextFile(text).c_str());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TALO_DEVICEINFO device;
        device.Class = c.className;
        device.HwId = c.hwId;
        device.Setting = c.setting;
        EXPECT_EQ(c.inState, catalog.IsInState(device));
    }

    // One part of the modem off: the modem needs its switch, though its root is on.
    ASSERT_TRUE(m.notebook.SetDisabled(diag, false, true));
    CDeviceCatalog rebuilt(Options(), m.TextFile(text).c_str());
    TALO_DEVICEINFO device;
    device.Class = L"#UMTS#";
    device.HwId = kModemRoot;
    device.Setting = 1;
    EXPECT_FALSE(rebuilt.IsInState(device));
    EXPECT_EQ(Records_({{L"UMTS modem", L"#UMTS#", kModemRoot, 1}}), Records(rebuilt));
    // Before a build nothing is known.
    CDeviceCatalog unbuilt(Options(), CDeviceCatalog::Unbuilt());
    EXPECT_FALSE(unbuilt.IsInState(device));
}

TEST_P(CatalogTest, UmtsEntryOneMissingHidesEntryTwo)
{
    AddModem();
    CDeviceCatalog catalog(Options(), m.TextFile(LR"([DeviceList]
0=UMTS
[UMTS]
UMTS0_ROOT_CLASS=USB
UMTS0_ROOT_HWID=USB\VID_1E0E&PID_9099
UMTS2_ROOT_CLASS=USB
UMTS2_ROOT_HWID=USB\VID_1E0E&PID_9001
)").c_str());
    UmtsEntry entry;
    EXPECT_FALSE(catalog.FindPresentUmtsEntry(entry));
    EXPECT_EQ(0, catalog.GetSize());
}

TEST_P(CatalogTest, ReadersCanRebuildTheCatalogOneTypeAtATime)
{
    // The settings program's command line empties the catalog and runs one reader.
    m.AddWlanAdapter(L"1", kWlanHwId, kWlanName);
    AddModem();
    m.AddDevice({L"Modem", {L"MODEM\\A"}, L"Modem A"});
    CDeviceCatalog catalog(Options(), m.TextFile(L"[DeviceList]\n0=WLAN\n1=UMTS\n" + kUmtsSection +
                                      L"[Modems]\n0_Class=Modem\n0_HwId=MODEM\\A\n").c_str());
    ASSERT_EQ(2, catalog.GetSize());
    CDeviceSnapshot devices;
    catalog.RemoveAll();
    catalog.AddSectionDevices(devices, L"Modems");
    EXPECT_EQ(Records_({{L"Modem A", L"Modem", L"MODEM\\A", 1}}), Records(catalog));
    catalog.RemoveAll();
    catalog.AddUmtsDevice(devices);
    EXPECT_EQ(1, catalog.GetSize());
    catalog.RemoveAll();
    catalog.AddSectionDevices(devices, std::wstring(128, L'M').c_str());
    catalog.AddSectionDevices(devices, L"No such section");
    EXPECT_EQ(0, catalog.GetSize());
}

TEST_P(CatalogTest, WithoutATextFileTheCatalogIsEmpty)
{
    m.AddWlanAdapter(L"1", kWlanHwId, kWlanName);
    CDeviceCatalog besideTheTests(Options()); // no "Language.ini" beside the test programs
    EXPECT_EQ(0, besideTheTests.GetSize());
    CDeviceCatalog missing(Options(), (m.folder.Path() + L"missing.ini").c_str());
    EXPECT_EQ(0, missing.GetSize());
}

// What the programs' options change, each case on a notebook of its own.
class CatalogOptionsTest : public testing::TestWithParam<Flavour> {};

TEST_P(CatalogOptionsTest, BluetoothMeansTheStacksRadioOnlyWhereTheProgramAsksForIt)
{
    const Records_ sectionEntries = {{L"Bluetooth devices", L"Bluetooth", L"", 1}};
    const bool radio = GetParam().bluetoothRadio;
    const struct {
        const char* what;
        const wchar_t* serviceKey;
        bool controlPresent;
        bool radioOn;
        Records_ withRadio;
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
        CatalogMachine machine;
        machine.AddDevice({L"Bluetooth", {L"USB\\VID_0A5C&PID_21E6"}, L"Generic Bluetooth Radio"});
        machine.AddBluetoothStack(c.serviceKey, c.controlPresent, c.radioOn);
        CDeviceCatalog catalog(GetParam().options(), machine.TextFile(LR"([DeviceList]
0=Bluetooth
1=WLAN
[BLUETOOTH]
0_Class=Bluetooth
0_DisplayName=Bluetooth devices
)").c_str());
        EXPECT_EQ(radio ? c.withRadio : sectionEntries, Records(catalog));
        if (!radio)
            EXPECT_TRUE(machine.notebook.BluetoothCodes().empty());
    }
}

TEST_P(CatalogOptionsTest, AsksTheWlanServiceAsTheProgramsClientVersion)
{
    CatalogMachine machine;
    machine.AddWlanAdapter(L"1", L"PCI\\VEN_168C", L"Adapter");
    CDeviceCatalog catalog(GetParam().options(), machine.TextFile(L"[DeviceList]\n0=WLAN\n").c_str());
    EXPECT_EQ(1, catalog.GetSize());
    EXPECT_EQ(GetParam().wlanClientVersion, machine.notebook.LastWlanClientVersion());
}

std::string FlavourName(const testing::TestParamInfo<Flavour>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Programs, CatalogTest, testing::ValuesIn(kFlavours), FlavourName);
INSTANTIATE_TEST_SUITE_P(Programs, CatalogOptionsTest, testing::ValuesIn(kFlavours), FlavourName);

} // namespace
