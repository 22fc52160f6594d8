#include "service/wnp/DevicePolicyCache.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "sim/SimNotebook.h"
#include "tests/service/ProductValues.h"
#include "tests/service/TestRequests.h"
#include "tests/support/ScopedSimMachine.h"
#include "tests/support/UniqueName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A folder of the test's own under the temporary folder, removed with everything in it.
class ScopedFolder {
public:
    ScopedFolder()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + UniqueName(L"Install") + L"\\";
        CreateDirectoryW(root_.c_str(), nullptr);
    }
    ~ScopedFolder()
    {
        for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
            if (!DeleteFileW(file->c_str()))
                RemoveDirectoryW(file->c_str());
        }
        RemoveDirectoryW(root_.c_str());
    }

    const std::wstring& Path() const { return root_; }
    std::wstring File(const std::wstring& relative) const { return root_ + relative; }

    // Writes an INI file as the data files are written: UTF-16LE with a byte-order mark.
    void WriteIni(const std::wstring& relative, const std::wstring& text)
    {
        const size_t slash = relative.find(L'\\');
        if (slash != std::wstring::npos && CreateDirectoryW((root_ + relative.substr(0, slash)).c_str(), nullptr))
            files_.push_back(root_ + relative.substr(0, slash));
        const std::wstring path = root_ + relative;
        {
            std::ofstream out(path.c_str(), std::ios::binary);
            const std::wstring content = L"\xFEFF" + text;
            out.write(reinterpret_cast<const char*>(content.data()), content.size() * sizeof(wchar_t));
        }
        if (std::find(files_.begin(), files_.end(), path) == files_.end())
            files_.push_back(path);
    }

private:
    std::wstring root_;
    std::vector<std::wstring> files_;
};

void SetMachineString(const std::wstring& name, const wchar_t* text)
{
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kDeviceListKey, name.c_str(), REG_SZ, text,
                    static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

// A whole record of the device list: its name, class "Net" and hardware ID.
void SetRecord(int index, const wchar_t* hwId)
{
    const std::wstring i = std::to_wstring(index);
    SetMachineString(i + L"_DeviceName", L"Adapter");
    SetMachineString(i + L"_Class", L"Net");
    SetMachineString(i + L"_HwId", hwId);
}

void SetMachineDWord(const std::wstring& name, DWORD number)
{
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kDeviceListKey, name.c_str(), REG_DWORD, &number, sizeof(number));
}

bool Permits(CDevicePolicyCache& cache, const std::wstring& folder, const wchar_t* className, const wchar_t* prefix)
{
    return cache.Permits(folder, DeviceRequest(REQ_ENABLE_DEVICE, className, prefix));
}

FILETIME LastWrite(const std::wstring& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SetLastWrite(const std::wstring& file, const FILETIME& time)
{
    const KernelHandle handle(CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          0, nullptr));
    return handle && SetFileTime(handle.Get(), nullptr, nullptr, &time);
}

} // namespace

TEST(DevicePolicyLoader, ReadsEveryInstalledTextFileAndTheRegisteredAdapters)
{
    ScopedFolder install;
    install.WriteIni(L"Language.ini", L"[Folder]\r\n0x0409=English\r\n0x0407=German\r\nDefault=english\r\n"
                                      L"0x0411=..\\Outside\r\n0x0412=.\\C\r\n0x0413=Missing\r\n");
    install.WriteIni(L"English\\TALOTXT.ini",
                     L"[DeviceList]\r\n0=WLAN\r\n1=UMTS\r\n2=BLUETOOTH\r\n3=Cards\r\n5=Skipped\r\n"
                     L"[BLUETOOTH]\r\n0_Class=Bluetooth\r\n0_HwId=\r\n"
                     L"[Cards]\r\n0_Class=Net\r\n0_HwId=PCI\\VEN_10EC\r\n1_Class=\r\n1_HwId=PCI\\VEN_AFTER\r\n"
                     L"[Skipped]\r\n0_Class=Skipped\r\n"
                     L"[Unlisted]\r\n0_Class=Volume\r\n"
                     L"[UMTS]\r\nUMTS0_ROOT_CLASS=USB\r\nUMTS0_ROOT_HWID=USB\\VID_1E0E&PID_9001\r\n"
                     L"UMTS0_SUBNUM=2x\r\nUMTS0_SUB0_CLASS=Ports\r\nUMTS0_SUB0_HWID=USB\\VID_1E0E&PID_9001&MI_01\r\n"
                     L"UMTS0_SUB1_CLASS=Modem\r\nUMTS0_SUB1_HWID=USB\\VID_1E0E&PID_9001&MI_02\r\n"
                     L"UMTS0_SUB2_CLASS=Beyond\r\nUMTS0_SUB2_HWID=USB\\X\r\n"
                     L"UMTS1_ROOT_CLASS=USB\r\nUMTS1_ROOT_HWID=USB\\VID_1E0E&PID_9011\r\n"
                     L"UMTS3_ROOT_CLASS=AfterAGap\r\n");
    install.WriteIni(L"German\\TALOTXT.ini", L"[DeviceList]\r\n0=Geraete\r\n[Geraete]\r\n0_Class=Image\r\n0_HwId=USB\\VID_04A9\r\n");
    install.WriteIni(L"C\\TALOTXT.ini", L"[DeviceList]\r\n0=Net\r\n[Net]\r\n0_Class=Net\r\n0_HwId=\r\n");

    // Registered adapters count only as the whole first hardware ID of an installed network adapter.
    ScopedSimMachine machine;
    CSimNotebook notebook;
    ASSERT_EQ(SeedDemoNotebook(notebook), 1);
    ScopedProductValues restore;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceListKey);
    SetMachineDWord(kDeviceNumValue, 5);
    SetRecord(0, L"pci\\ven_168c&dev_002b&subsys_30a117aa&rev_01");
    SetRecord(1, L"PCI\\VEN_10EC&DEV_8168&SUBSYS_21D217AA&REV_06");
    SetRecord(2, L"PCI");                    // a prefix of every adapter
    SetRecord(3, L"PCI\\VEN_168C&DEV_002B"); // a prefix of one
    SetRecord(4, L"PCI\\VEN_8086&DEV_4229&SUBSYS_11018086&REV_61"); // not installed
    SetRecord(5, L"PCI\\VEN_BEYOND_COUNT");
    SetMachineString(L"01_HwId", L"PCI\\VEN_NOT_A_RECORD");

    CDevicePolicyCache cache;
    const struct {
        const wchar_t* className;
        const wchar_t* prefix;
        bool permitted;
    } cases[] = {
        {L"Bluetooth", L"", true},
        {L"Net", L"PCI\\VEN_10EC", true},
        {L"USB", L"USB\\VID_1E0E&PID_9001", true},
        {L"Ports", L"USB\\VID_1E0E&PID_9001&MI_01", true},
        {L"Modem", L"USB\\VID_1E0E&PID_9001&MI_02", true},
        {L"USB", L"USB\\VID_1E0E&PID_9011", true},
        {L"Image", L"USB\\VID_04A9", true},
        {L"Net", L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01", true},
        {L"Net", L"PCI\\VEN_10EC&DEV_8168&SUBSYS_21D217AA&REV_06", true},

        {L"Net", L"PCI\\VEN_AFTER", false},      // after the section's end
        {L"Skipped", L"", false},                // after the device list's end
        {L"Volume", L"", false},                 // a section the device list does not name
        {L"Beyond", L"USB\\X", false},           // beyond the sub-device count
        {L"AfterAGap", L"", false},              // after the modem list's end
        {L"Net", L"", false},                    // only in a text file outside the install folder
        {L"Net", L"PCI", false},
        {L"Net", L"PCI\\VEN_168C&DEV_002B", false},
        {L"Net", L"PCI\\VEN_8086&DEV_4229&SUBSYS_11018086&REV_61", false},
        {L"Net", L"PCI\\VEN_BEYOND_COUNT", false},
        {L"Net", L"PCI\\VEN_NOT_A_RECORD", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.className, c.className + wcslen(c.className)));
        EXPECT_EQ(Permits(cache, install.Path(), c.className, c.prefix), c.permitted);
    }
}

TEST(DevicePolicyLoader, NothingInstalledPermitsNothing)
{
    ScopedFolder empty;
    ScopedProductValues restore;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceListKey);
    CDevicePolicyCache cache;
    EXPECT_FALSE(Permits(cache, empty.Path(), L"Net", L"PCI"));
    EXPECT_FALSE(Permits(cache, empty.Path(), L"Bluetooth", L""));
    EXPECT_FALSE(cache.Permits(empty.Path(), DeviceRequest(REQ_SET_DWORD, L"Bluetooth", L"")));
}

// What a request sees once the installation or the device list changed, with the
// policy kept from request to request as the service keeps it.
TEST(DevicePolicyCache, HonoursChangedTextFilesAndRecordsOnTheNextRequest)
{
    ScopedFolder install;
    install.WriteIni(L"Language.ini", L"[Folder]\r\n0x0409=English\r\n0x0407=German\r\n");
    install.WriteIni(L"English\\TALOTXT.ini", L"[DeviceList]\r\n0=Cards\r\n[Cards]\r\n0_Class=Image\r\n0_HwId=USB\\VID_04A9\r\n");
    ScopedSimMachine machine;
    CSimNotebook notebook;
    ASSERT_EQ(SeedDemoNotebook(notebook), 1);
    ScopedProductValues restore;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceListKey);

    CDevicePolicyCache cache;
    const std::wstring& folder = install.Path();
    EXPECT_TRUE(Permits(cache, folder, L"Image", L"USB\\VID_04A9"));
    EXPECT_FALSE(Permits(cache, folder, L"Ports", kModemPort));
    EXPECT_FALSE(Permits(cache, folder, L"Net", kWlanAdapter));

    {
        SCOPED_TRACE("a text file installed in a folder that Language.ini names");
        install.WriteIni(L"German\\TALOTXT.ini", L"[DeviceList]\r\n0=UMTS\r\n[UMTS]\r\nUMTS0_ROOT_CLASS=Ports\r\n"
                                                L"UMTS0_ROOT_HWID=USB\\VID_1E0E&PID_9001&MI_01\r\n");
        EXPECT_TRUE(Permits(cache, folder, L"Ports", kModemPort));
    }
    {
        SCOPED_TRACE("a text file rewritten");
        install.WriteIni(L"English\\TALOTXT.ini", L"[DeviceList]\r\n0=Cards\r\n[Cards]\r\n0_Class=Bluetooth\r\n");
        EXPECT_TRUE(Permits(cache, folder, L"Bluetooth", L""));
        EXPECT_FALSE(Permits(cache, folder, L"Image", L"USB\\VID_04A9"));
    }
    {
        SCOPED_TRACE("an adapter registered");
        SetRecord(0, kWlanAdapter);
        SetMachineDWord(kDeviceNumValue, 1);
        EXPECT_TRUE(Permits(cache, folder, L"Net", kWlanAdapter));
    }
    {
        SCOPED_TRACE("the count lowered below the record");
        SetMachineDWord(kDeviceNumValue, 0);
        EXPECT_FALSE(Permits(cache, folder, L"Net", kWlanAdapter));
    }
    {
        SCOPED_TRACE("the device list removed");
        SetMachineDWord(kDeviceNumValue, 1);
        EXPECT_TRUE(Permits(cache, folder, L"Net", kWlanAdapter));
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceListKey);
        EXPECT_FALSE(Permits(cache, folder, L"Net", kWlanAdapter));
    }
    {
        SCOPED_TRACE("a language dropped from Language.ini");
        install.WriteIni(L"Language.ini", L"[Folder]\r\n0x0409=English\r\n");
        EXPECT_FALSE(Permits(cache, folder, L"Ports", kModemPort));
        EXPECT_TRUE(Permits(cache, folder, L"Bluetooth", L""));
    }
    {
        SCOPED_TRACE("another installation folder");
        ScopedFolder other;
        EXPECT_FALSE(Permits(cache, other.Path(), L"Bluetooth", L""));
    }
}

// A record counts only as the first hardware ID of an installed adapter, also
// of one installed after the record was read.
TEST(DevicePolicyCache, ChecksARegisteredAdapterWhenARequestNamesIt)
{
    ScopedFolder empty;
    ScopedSimMachine machine;
    CSimNotebook notebook;
    ASSERT_EQ(SeedDemoNotebook(notebook), 1);
    ScopedProductValues restore;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceListKey);
    constexpr wchar_t kLateAdapter[] = L"PCI\\VEN_8086&DEV_4229&SUBSYS_11018086&REV_61";
    SetRecord(0, kLateAdapter);
    SetMachineDWord(kDeviceNumValue, 1);

    CDevicePolicyCache cache;
    EXPECT_FALSE(Permits(cache, empty.Path(), L"Net", kLateAdapter)) << "not installed yet";
    SimDevice adapter;
    adapter.className = kNetworkCardClass;
    adapter.enumerator = L"PCI";
    adapter.hardwareIds = {kLateAdapter, L"PCI\\VEN_8086&DEV_4229"};
    adapter.description = L"Late Wireless Adapter";
    ASSERT_NE(notebook.AddDevice(adapter), 0u);
    EXPECT_TRUE(Permits(cache, empty.Path(), L"Net", kLateAdapter));
    EXPECT_FALSE(Permits(cache, empty.Path(), L"Net", L"PCI\\VEN_8086&DEV_4229"));
    EXPECT_FALSE(Permits(cache, empty.Path(), L"USB", kLateAdapter)) << "a record names a network adapter";
}

// Unchanged stamps keep what was read: a file rewritten to the same size whose
// last-write time is put back counts only once its time moves on.
TEST(DevicePolicyCache, ReadsTheFilesAgainOnlyWhenTheyChanged)
{
    ScopedFolder install;
    install.WriteIni(L"Language.ini", L"[Folder]\r\nDefault=English\r\n");
    install.WriteIni(L"English\\TALOTXT.ini", L"[DeviceList]\r\n0=Cards\r\n[Cards]\r\n0_Class=Image\r\n");
    CDevicePolicyCache cache;
    EXPECT_TRUE(Permits(cache, install.Path(), L"Image", L""));

    const std::wstring textFile = install.File(L"English\\TALOTXT.ini");
    const FILETIME written = LastWrite(textFile);
    install.WriteIni(L"English\\TALOTXT.ini", L"[DeviceList]\r\n0=Cards\r\n[Cards]\r\n0_Class=Modem\r\n");
    ASSERT_TRUE(SetLastWrite(textFile, written));
    EXPECT_TRUE(Permits(cache, install.Path(), L"Image", L""));
    EXPECT_FALSE(Permits(cache, install.Path(), L"Modem", L""));

    FILETIME later = written;
    later.dwLowDateTime += 10000000; // a second on
    if (later.dwLowDateTime < written.dwLowDateTime)
        ++later.dwHighDateTime;
    ASSERT_TRUE(SetLastWrite(textFile, later));
    EXPECT_TRUE(Permits(cache, install.Path(), L"Modem", L""));
    EXPECT_FALSE(Permits(cache, install.Path(), L"Image", L""));
}
