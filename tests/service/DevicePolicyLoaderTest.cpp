#include "service/wnp/DevicePolicyLoader.h"

#include "foundation/Names.h"
#include "sim/SimNotebook.h"
#include "tests/service/ProductValues.h"
#include "tests/support/ScopedSimMachine.h"
#include "tests/support/UniqueName.h"

#include <gtest/gtest.h>

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

    // Writes an INI file as the data files are written: UTF-16LE with a byte-order mark.
    void WriteIni(const std::wstring& relative, const std::wstring& text)
    {
        const size_t slash = relative.find(L'\\');
        if (slash != std::wstring::npos && CreateDirectoryW((root_ + relative.substr(0, slash)).c_str(), nullptr))
            files_.push_back(root_ + relative.substr(0, slash));
        const std::wstring path = root_ + relative;
        std::ofstream out(path.c_str(), std::ios::binary);
        const std::wstring content = L"\xFEFF" + text;
        out.write(reinterpret_cast<const char*>(content.data()), content.size() * sizeof(wchar_t));
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
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kDeviceListKey, kDeviceNumValue, REG_DWORD, std::vector<DWORD>{5}.data(),
                    sizeof(DWORD));
    SetMachineString(L"0_HwId", L"pci\\ven_168c&dev_002b&subsys_30a117aa&rev_01");
    SetMachineString(L"1_HwId", L"PCI\\VEN_10EC&DEV_8168&SUBSYS_21D217AA&REV_06");
    SetMachineString(L"2_HwId", L"PCI");                    // a prefix of every adapter
    SetMachineString(L"3_HwId", L"PCI\\VEN_168C&DEV_002B"); // a prefix of one
    SetMachineString(L"4_HwId", L"PCI\\VEN_8086&DEV_4229&SUBSYS_11018086&REV_61"); // not installed
    SetMachineString(L"5_HwId", L"PCI\\VEN_BEYOND_COUNT");
    SetMachineString(L"01_HwId", L"PCI\\VEN_NOT_A_RECORD");

    CDevicePolicy policy;
    LoadDevicePolicy(install.Path(), policy);
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
        EXPECT_EQ(policy.Permits(c.className, c.prefix), c.permitted);
    }
}

TEST(DevicePolicyLoader, NothingInstalledPermitsNothing)
{
    ScopedFolder empty;
    ScopedProductValues restore;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceListKey);
    CDevicePolicy policy;
    LoadDevicePolicy(empty.Path(), policy);
    EXPECT_FALSE(policy.Permits(L"Net", L"PCI"));
    EXPECT_FALSE(policy.Permits(L"Bluetooth", L""));
}
