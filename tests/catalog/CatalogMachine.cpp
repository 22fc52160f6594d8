#include "tests/catalog/CatalogMachine.h"

#include "devices/BtSwCodes.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

#include <gtest/gtest.h>

namespace {

struct SetupClass {
    const wchar_t* name;
    GUID guid;
};

const SetupClass kClasses[] = {
    {L"Net", {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}}},
    {L"USB", {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}}},
    {L"Modem", {0x4d36e96d, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}}},
    {L"Ports", {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}}},
    {L"Bluetooth", {0xe0cbf06c, 0xcd8b, 0x4647, {0xbb, 0x8a, 0x26, 0x3b, 0x43, 0xf0, 0xf9, 0x74}}},
};

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

} // namespace

void PrintTo(const Record& record, std::ostream* out)
{
    *out << "{\"" << Narrow(record.name) << "\", \"" << Narrow(record.className) << "\", \""
         << Narrow(record.hwId) << "\", " << record.setting << "}";
}

std::vector<Record> Records(const TaloDeviceArray& catalog)
{
    std::vector<Record> records;
    for (int i = 0; i < catalog.GetSize(); ++i) {
        const TALO_DEVICEINFO& device = catalog[i];
        records.push_back({device.DeviceName.GetString(), device.Class.GetString(), device.HwId.GetString(),
                           device.Setting});
        EXPECT_TRUE(device.DisplayName.IsEmpty()) << "catalog records carry no display name";
    }
    return records;
}

CatalogMachine::CatalogMachine() : deviceList(HKEY_LOCAL_MACHINE, kDeviceListKey)
{
    Prepare();
}

CatalogMachine::CatalogMachine(const std::wstring& simRoot)
    : machine(simRoot), deviceList(HKEY_LOCAL_MACHINE, kDeviceListKey)
{
    Prepare();
}

void CatalogMachine::Prepare()
{
    deviceList.Remove();
    for (const SetupClass& setupClass : kClasses)
        EXPECT_TRUE(notebook.AddClass(setupClass.name, setupClass.guid));
    EXPECT_TRUE(notebook.SetWlanService(SimWlanService()));
}

DWORD CatalogMachine::AddDevice(const NewDevice& device)
{
    SimDevice simulated;
    simulated.className = device.className;
    simulated.hardwareIds = device.hardwareIds;
    simulated.description = device.description;
    simulated.friendlyName = device.friendlyName;
    simulated.disabledConfig = device.disabled;
    simulated.present = device.present;
    const DWORD number = notebook.AddDevice(simulated);
    EXPECT_NE(0u, number);
    return number;
}

std::wstring CatalogMachine::CardKey(const std::wstring& card)
{
    return L"AvT" + std::to_wstring(GetCurrentProcessId()) + L"_" + card;
}

bool CatalogMachine::AddCard(const std::wstring& card, const std::wstring& description)
{
    return notebook.AddNetworkCard(CardKey(card), description, L"{svc-" + CardKey(card) + L"}") != 0;
}

DWORD CatalogMachine::AddWlanAdapter(const std::wstring& card, const std::wstring& hwId,
                                     const std::wstring& description, bool disabled)
{
    const DWORD number = AddDevice({L"Net", {hwId}, description, std::nullopt, disabled});
    EXPECT_TRUE(AddCard(card, description));
    EXPECT_TRUE(notebook.AddWlanInterface({description, number}));
    EXPECT_TRUE(notebook.AddNdisAdapter({L"{svc-" + CardKey(card) + L"}", true, number}));
    return number;
}

void CatalogMachine::AddBluetoothStack(const wchar_t* serviceKey, bool controlPresent, bool radioOn)
{
    if (serviceKey) {
        EXPECT_TRUE(notebook.AddRealKey(serviceKey));
    }
    EXPECT_NE(0u, notebook.AddInterface(GUID_BTSW_CONTROL, L"\\\\?\\ROOT#KVRFUSB#0000#control", controlPresent));
    EXPECT_NE(0u, notebook.AddInterface(GUID_BTSW_RADIO, L"\\\\?\\ROOT#KVRFUSB#0001#radio", radioOn));
    EXPECT_TRUE(notebook.SetBluetoothSwitch(0, false));
}

std::wstring CatalogMachine::TextFile(const std::wstring& contents) const
{
    EXPECT_TRUE(folder.WriteTextFile(L"TALOTXT.ini", contents));
    return folder.Path() + L"TALOTXT.ini";
}

void CatalogMachine::Register(const std::wstring& name, const std::wstring& className, const std::wstring& hwId)
{
    CcRegistry list;
    ASSERT_TRUE(list.CreateKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS));
    const DWORD n = list.GetDWord(kDeviceNumValue, 0, 0);
    const std::wstring index = std::to_wstring(n);
    list.SetValue((index + L"_DeviceName").c_str(), name.c_str(), REG_SZ, 0);
    list.SetValue((index + L"_Class").c_str(), className.c_str(), REG_SZ, 0);
    list.SetValue((index + L"_HwId").c_str(), hwId.c_str(), REG_SZ, 0);
    list.SetDWord(kDeviceNumValue, n + 1);
}

DWORD CatalogMachine::RegisteredCount() const
{
    CcRegistry list;
    list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ);
    return list.GetDWord(kDeviceNumValue, 0, 0);
}

std::vector<Record> CatalogMachine::Registered() const
{
    std::vector<Record> records;
    CcRegistry list;
    list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ);
    const DWORD count = list.GetDWord(kDeviceNumValue, 0, 0);
    for (DWORD i = 0; i < count; ++i) {
        const std::wstring index = std::to_wstring(i);
        records.push_back({list.GetString((index + L"_DeviceName").c_str(), L"", 0).GetString(),
                           list.GetString((index + L"_Class").c_str(), L"", 0).GetString(),
                           list.GetString((index + L"_HwId").c_str(), L"", 0).GetString(), 0});
    }
    return records;
}
