// The simulated binding: the device seam answered from a simulated notebook.
#include "sim/SimDeviceApi.h"

#include "devices/BtSwCodes.h"
#include "devices/DeviceControl.h"
#include "devices/Eject.h"
#include "tests/support/ScopedSimMachine.h"

#include <gtest/gtest.h>
#include <ntddndis.h>
#include <wlanapi.h>

#include <string>
#include <vector>

namespace {

constexpr GUID kNet = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr wchar_t kWlanPrefix[] = L"PCI\\VEN_168C";
constexpr wchar_t kWlanService[] = L"{8F3C2A61-5D4B-4E1A-9C77-2B1E0D6A4F10}";
constexpr wchar_t kEthernetService[] = L"{1B7E9D20-3C5A-4F86-A0D2-6E4C8B1F7A33}";
constexpr DWORD kWlanDevice = 1;
constexpr DWORD kCdromDevice = 6;

class SimDeviceApiTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SeedDemoNotebook(notebook)); }
    void TearDown() override { EXPECT_EQ(0u, Api().OpenObjectCount()); }

    static CSimDeviceApi& Api() { return static_cast<CSimDeviceApi&>(DefaultDeviceApi()); }

    int Query(const wchar_t* className, const wchar_t* prefix, wchar_t* name = nullptr)
    {
        int state = 42;
        EXPECT_EQ(1, DeviceCtlByHwId(0, &state, className, prefix, nullptr, name, name ? kDevicePropertyChars : 0));
        return state;
    }

    int Switch(const wchar_t* className, const wchar_t* prefix, int enable, int* restart = nullptr)
    {
        return DeviceCtlByHwId(1, &enable, className, prefix, restart);
    }

    // A device of the class className with one hardware ID, for a test's own case.
    static SimDevice Added(const wchar_t* className, const wchar_t* hwId, const wchar_t* description)
    {
        SimDevice device;
        device.className = className;
        device.hardwareIds = {hwId};
        device.description = description;
        return device;
    }

    SimDevice Read(DWORD number)
    {
        SimDevice device;
        EXPECT_TRUE(notebook.ReadDevice(number, device));
        return device;
    }

    // The path of the first present interface of a class, or empty.
    std::wstring InterfacePath(const GUID& interfaceGuid)
    {
        IDeviceApi& api = DeviceApi();
        DeviceInfoSet set(api.SetupDiGetClassDevsW(&interfaceGuid, nullptr, nullptr,
                                                   DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
        SP_DEVICE_INTERFACE_DATA data = {};
        data.cbSize = sizeof(data);
        if (!set || !api.SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &interfaceGuid, 0, &data))
            return std::wstring();
        DWORD size = 0;
        EXPECT_FALSE(api.SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, nullptr, 0, &size, nullptr));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
        std::vector<BYTE> buffer(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        EXPECT_TRUE(api.SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, detail, size, nullptr, nullptr));
        return detail->DevicePath;
    }

    ScopedSimMachine machine;
    CSimNotebook notebook;
};

TEST_F(SimDeviceApiTest, ResolvesClassNamesLikeTheInstaller)
{
    IDeviceApi& api = DeviceApi();
    GUID guids[2] = {};
    DWORD count = 0;
    ASSERT_TRUE(api.SetupDiClassGuidsFromNameExW(L"net", guids, 2, &count, nullptr, nullptr));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(kNet, guids[0]);

    ASSERT_TRUE(notebook.AddClass(L"Net", {0x1, 0x2, 0x3, {4}}));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(api.SetupDiClassGuidsFromNameExW(L"Net", guids, 1, &count, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(2u, count);

    EXPECT_TRUE(api.SetupDiClassGuidsFromNameExW(L"Unknown", guids, 2, &count, nullptr, nullptr));
    EXPECT_EQ(0u, count);
}

TEST_F(SimDeviceApiTest, QueriesAndSwitchesTheDemoNotebook)
{
    wchar_t name[kDevicePropertyChars] = L"";
    EXPECT_EQ(DEVSTAT_ENABLED, Query(L"Net", kWlanPrefix, name));
    EXPECT_STREQ(L"802.11n Wireless LAN Adapter", name);
    EXPECT_EQ(DEVSTAT_ENABLED, Query(L"Ports", L"usb\\vid_1e0e&pid_9001&mi_01", name));
    EXPECT_STREQ(L"HSPA Application Interface (COM4)", name);

    EXPECT_EQ(1, Switch(L"Net", kWlanPrefix, 0));
    EXPECT_TRUE(Read(kWlanDevice).disabledConfig);
    EXPECT_EQ(DEVSTAT_DISABLED, Query(L"Net", kWlanPrefix));
    int state = 0;
    EXPECT_EQ(1, DeviceCtlByClass(L"Net", 0, &state, nullptr));
    EXPECT_EQ(DEVSTAT_MIXED, state);

    EXPECT_EQ(1, Switch(L"Net", kWlanPrefix, 1));
    EXPECT_EQ(DEVSTAT_ENABLED, Query(L"Net", kWlanPrefix));

    wchar_t hwId[kDevicePropertyChars] = L"";
    EXPECT_EQ(1, GetHwIdFromDesc(L"hspa modem", L"Modem", hwId, ARRAYSIZE(hwId)));
    EXPECT_STREQ(L"USB\\VID_1E0E&PID_9001&MI_02", hwId);
}

TEST_F(SimDeviceApiTest, EnablingClearsAGlobalDisableToo)
{
    ASSERT_TRUE(notebook.SetDisabled(kWlanDevice, true, true));
    EXPECT_EQ(DEVSTAT_DISABLED, Query(L"Net", kWlanPrefix));
    EXPECT_EQ(1, Switch(L"Net", kWlanPrefix, 1));
    const SimDevice device = Read(kWlanDevice);
    EXPECT_FALSE(device.disabledGlobal);
    EXPECT_FALSE(device.disabledConfig);
}

TEST_F(SimDeviceApiTest, ReportsStatusAsTheConfigurationManagerDoes)
{
    IDeviceApi& api = DeviceApi();
    ULONG status = 0;
    ULONG problem = 99;
    ASSERT_EQ(static_cast<CONFIGRET>(CR_SUCCESS), api.CM_Get_DevNode_Status(&status, &problem, kCdromDevice, 0));
    EXPECT_EQ(static_cast<ULONG>(DN_STARTED | DN_DRIVER_LOADED | DN_DISABLEABLE | DN_REMOVABLE), status);
    EXPECT_EQ(0u, problem);

    ASSERT_TRUE(notebook.SetDisabled(kWlanDevice, false, true));
    ASSERT_EQ(static_cast<CONFIGRET>(CR_SUCCESS), api.CM_Get_DevNode_Status(&status, &problem, kWlanDevice, 0));
    EXPECT_EQ(static_cast<ULONG>(DN_HAS_PROBLEM), status & (DN_HAS_PROBLEM | DN_STARTED));
    EXPECT_EQ(static_cast<ULONG>(CM_PROB_DISABLED), problem);

    ASSERT_TRUE(notebook.SetDisabled(kWlanDevice, false, false));
    ASSERT_TRUE(notebook.SetProblem(kWlanDevice, CM_PROB_FAILED_INSTALL));
    EXPECT_EQ(DEVSTAT_ENABLED, Query(L"Net", kWlanPrefix));

    ASSERT_TRUE(notebook.SetPresent(kWlanDevice, false));
    EXPECT_EQ(static_cast<CONFIGRET>(CR_NO_SUCH_DEVINST), api.CM_Get_DevNode_Status(&status, &problem, kWlanDevice, 0));
    EXPECT_EQ(DEVSTAT_NONE, Query(L"Net", kWlanPrefix));
    EXPECT_EQ(0, Switch(L"Net", kWlanPrefix, 0)); // the installer cannot reach an absent device
}

TEST_F(SimDeviceApiTest, InjectedFailuresReachTheCaller)
{
    struct Case {
        DWORD failures;
        int queried;
        int switched;
        bool disabled;
    };
    const Case cases[] = {
        {simfail::kClassInstaller, DEVSTAT_ENABLED, 0, false},
        {simfail::kInstallParams, DEVSTAT_ENABLED, 0, false},
        {simfail::kStatus, DEVSTAT_NONE, 1, true},      // switching does not need the status
        {simfail::kHardwareId, DEVSTAT_NONE, 1, false}, // matches nothing, so nothing fails
    };
    for (size_t i = 0; i < ARRAYSIZE(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        ASSERT_TRUE(notebook.SetDisabled(kWlanDevice, false, false));
        ASSERT_TRUE(notebook.SetFailures(kWlanDevice, cases[i].failures));
        EXPECT_EQ(cases[i].queried, Query(L"Net", kWlanPrefix));
        EXPECT_EQ(cases[i].switched, Switch(L"Net", kWlanPrefix, 0));
        EXPECT_EQ(cases[i].disabled, Read(kWlanDevice).Disabled());
    }

    ASSERT_TRUE(notebook.SetDisabled(kWlanDevice, false, false));
    ASSERT_TRUE(notebook.SetFailures(kWlanDevice, simfail::kFriendlyName | simfail::kDeviceDesc));
    wchar_t name[kDevicePropertyChars] = L"(untouched)";
    EXPECT_EQ(DEVSTAT_ENABLED, Query(L"Net", kWlanPrefix, name));
    EXPECT_STREQ(L"(untouched)", name);
}

TEST_F(SimDeviceApiTest, LogsEachChangeOfStateInOrder)
{
    constexpr DWORD kModemPort = 4;
    EXPECT_EQ(1, Switch(L"Net", kWlanPrefix, 0));
    EXPECT_EQ(1, Switch(L"Net", kWlanPrefix, 0)); // already off: no change
    EXPECT_EQ(1, Switch(L"Ports", L"USB\\VID_1E0E&PID_9001&MI_01", 0));
    EXPECT_EQ(1, Switch(L"Net", kWlanPrefix, 1));
    const std::vector<SimStateChange> changes = notebook.StateChanges();
    ASSERT_EQ(3u, changes.size());
    EXPECT_EQ(kWlanDevice, changes[0].device);
    EXPECT_TRUE(changes[0].disabled);
    EXPECT_EQ(kModemPort, changes[1].device);
    EXPECT_TRUE(changes[1].disabled);
    EXPECT_EQ(kWlanDevice, changes[2].device);
    EXPECT_FALSE(changes[2].disabled);
    ASSERT_TRUE(notebook.Clear());
    EXPECT_TRUE(notebook.StateChanges().empty());
}

TEST_F(SimDeviceApiTest, DeviceThatRefusesToBeEnabledCanStillBeDisabled)
{
    ASSERT_TRUE(notebook.SetFailures(kWlanDevice, simfail::kEnable));
    EXPECT_EQ(1, Switch(L"Net", kWlanPrefix, 0));
    EXPECT_EQ(DEVSTAT_DISABLED, Query(L"Net", kWlanPrefix));
    EXPECT_EQ(0, Switch(L"Net", kWlanPrefix, 1));
    EXPECT_EQ(DEVSTAT_DISABLED, Query(L"Net", kWlanPrefix));
}

TEST_F(SimDeviceApiTest, DeviceThatIsNotDisableableRefusesToBeDisabled)
{
    SimDevice device = Added(L"Net", L"ROOT\\FIXED", L"Fixed");
    device.capabilities = 0;
    ASSERT_NE(0u, notebook.AddDevice(device));
    EXPECT_EQ(0, Switch(L"Net", L"ROOT\\FIXED", 0));
    EXPECT_EQ(DEVSTAT_ENABLED, Query(L"Net", L"ROOT\\FIXED"));
    EXPECT_EQ(1, Switch(L"Net", L"ROOT\\FIXED", 1));
}

TEST_F(SimDeviceApiTest, ChangeOfADeviceThatNeedsARestartIsReported)
{
    SimDevice device = Added(L"Net", L"PCI\\RESTART", L"Restart");
    device.restartOnChange = true;
    const DWORD number = notebook.AddDevice(device);
    ASSERT_NE(0u, number);
    int restart = 0;
    EXPECT_EQ(1, Switch(L"Net", L"PCI\\RESTART", 0, &restart));
    EXPECT_EQ(1, restart);
    EXPECT_FALSE(Read(number).Disabled()) << "the change waits for the restart";
    EXPECT_EQ(std::optional<bool>(true), Read(number).pendingDisabled);
    EXPECT_EQ(1, Switch(L"Net", kWlanPrefix, 0, &restart));
    EXPECT_EQ(0, restart);

    ASSERT_TRUE(notebook.Restart());
    EXPECT_TRUE(Read(number).Disabled());
    EXPECT_FALSE(Read(number).pendingDisabled);

    const std::vector<SimInstallerCall> calls = notebook.InstallerCalls();
    std::vector<std::wstring> log;
    for (const SimInstallerCall& call : calls)
        log.push_back(std::to_wstring(call.device) + (call.enable ? L" on " : L" off ") + call.outcome +
                      (call.quiet ? L"" : L" loud"));
    const std::wstring n = std::to_wstring(number);
    EXPECT_EQ((std::vector<std::wstring>{n + L" off restart pending", L"1 off ok"}), log);
    ASSERT_TRUE(notebook.ClearInstallerCalls());
    EXPECT_TRUE(notebook.InstallerCalls().empty());
}

TEST_F(SimDeviceApiTest, ChildrenArePresentOnlyWhileTheirParentWorks)
{
    SimDevice radio = Added(L"Net", L"USB\\RADIO", L"Radio");
    radio.latencyMs = 30;
    const DWORD parent = notebook.AddDevice(radio);
    SimDevice child = Added(L"Net", L"BTH\\CHILD", L"Child");
    child.parent = parent;
    const DWORD number = notebook.AddDevice(child);
    ASSERT_NE(0u, number);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(1, Switch(L"Net", L"USB\\RADIO", 0));
    EXPECT_GE(GetTickCount64() - start, 25u) << "the switch takes the device's latency";
    EXPECT_FALSE(Read(number).present);
    EXPECT_EQ(DEVSTAT_NONE, Query(L"Net", L"BTH\\CHILD"));
    EXPECT_EQ(1, Switch(L"Net", L"USB\\RADIO", 1));
    EXPECT_TRUE(Read(number).present);
    ASSERT_TRUE(notebook.SetPresent(parent, false));
    EXPECT_FALSE(Read(number).present);
}

TEST_F(SimDeviceApiTest, EjectRemovesTheDriveUnlessItVetoes)
{
    EXPECT_EQ(EJECT_DONE, EjectCdromDevice());
    EXPECT_FALSE(Read(kCdromDevice).present);
    EXPECT_EQ(EJECT_NOT_FOUND, EjectCdromDevice());

    SimDevice drive = Added(L"CDROM", L"IDE\\CdRomVETO", L"Vetoing drive");
    drive.enumerator = L"IDE";
    drive.capabilities = DN_DISABLEABLE | DN_REMOVABLE;
    drive.failures = simfail::kEject;
    const DWORD vetoing = notebook.AddDevice(drive);
    ASSERT_NE(0u, vetoing);
    EXPECT_EQ(EJECT_REFUSED, EjectCdromDevice());
    EXPECT_TRUE(Read(vetoing).present);

    PNP_VETO_TYPE vetoType = PNP_VetoTypeUnknown;
    wchar_t vetoName[MAX_PATH] = L"";
    EXPECT_EQ(static_cast<CONFIGRET>(CR_REMOVE_VETOED),
              DeviceApi().CM_Request_Device_EjectW(vetoing, &vetoType, vetoName, MAX_PATH, 0));
    EXPECT_EQ(PNP_VetoDevice, vetoType);
    EXPECT_STREQ(L"IDE\\CdRomVETO\\7", vetoName);
}

TEST_F(SimDeviceApiTest, BluetoothControlCodesSwitchTheRadioInterface)
{
    const std::wstring control = InterfacePath(GUID_BTSW_CONTROL);
    ASSERT_FALSE(control.empty());
    EXPECT_FALSE(InterfacePath(GUID_BTSW_RADIO).empty());

    IDeviceApi& api = DeviceApi();
    DeviceFile device(api.CreateFileW(control.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
    ASSERT_TRUE(device) << GetLastError();
    SetLastError(0xdeadbeef);
    EXPECT_EQ(INVALID_HANDLE_VALUE, api.CreateFileW(control.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                    OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());

    DWORD returned = 7;
    EXPECT_TRUE(api.DeviceIoControl(device.Get(), IOCTL_BTSW_OFF, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(0u, returned);
    EXPECT_TRUE(InterfacePath(GUID_BTSW_RADIO).empty());
    EXPECT_TRUE(api.DeviceIoControl(device.Get(), IOCTL_BTSW_POST_OFF, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_TRUE(api.DeviceIoControl(device.Get(), IOCTL_BTSW_PRE_ON, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_TRUE(api.DeviceIoControl(device.Get(), IOCTL_BTSW_ON, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_FALSE(InterfacePath(GUID_BTSW_RADIO).empty());
    EXPECT_EQ((std::vector<DWORD>{IOCTL_BTSW_OFF, IOCTL_BTSW_POST_OFF, IOCTL_BTSW_PRE_ON, IOCTL_BTSW_ON}),
              notebook.BluetoothCodes());

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(api.DeviceIoControl(device.Get(), 0x9C402030, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FUNCTION), GetLastError());
    EXPECT_FALSE(api.DeviceIoControl(device.Get(), IOCTL_BTSW_OFF, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    ASSERT_TRUE(notebook.SetBluetoothSwitch(0, true));
    EXPECT_FALSE(api.DeviceIoControl(device.Get(), IOCTL_BTSW_OFF, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_FALSE(InterfacePath(GUID_BTSW_RADIO).empty());
}

TEST_F(SimDeviceApiTest, RadioGoesOnlyWhenTheStackGetsRoundToIt)
{
    ASSERT_TRUE(notebook.SetBluetoothSwitch(300, false));
    IDeviceApi& api = DeviceApi();
    DeviceFile device(api.CreateFileW(InterfacePath(GUID_BTSW_CONTROL).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(device);
    DWORD returned = 0;
    ASSERT_TRUE(api.DeviceIoControl(device.Get(), IOCTL_BTSW_OFF, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_FALSE(InterfacePath(GUID_BTSW_RADIO).empty());
    Sleep(450);
    EXPECT_TRUE(InterfacePath(GUID_BTSW_RADIO).empty());
}

TEST_F(SimDeviceApiTest, AbsentInterfaceCannotBeFoundOrOpened)
{
    notebook.Clear();
    ASSERT_TRUE(notebook.AddInterface(GUID_BTSW_CONTROL, L"\\\\?\\ROOT#GONE#0000", false));
    EXPECT_TRUE(InterfacePath(GUID_BTSW_CONTROL).empty());
    SetLastError(0xdeadbeef);
    EXPECT_EQ(INVALID_HANDLE_VALUE, DeviceApi().CreateFileW(L"\\\\?\\ROOT#GONE#0000", GENERIC_READ, 0, nullptr,
                                                            OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

// Whether the adapter behind a service name answers the 802.11 SSID query, defining its DOS name first.
BOOL AskNdis(const wchar_t* serviceName)
{
    IDeviceApi& api = DeviceApi();
    wchar_t target[MAX_PATH];
    if (!api.QueryDosDeviceW(serviceName, target, MAX_PATH)) {
        EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
        const std::wstring device = std::wstring(L"\\Device\\") + serviceName;
        EXPECT_TRUE(api.DefineDosDeviceW(DDD_RAW_TARGET_PATH, serviceName, device.c_str()));
    }
    const std::wstring path = std::wstring(L"\\\\.\\") + serviceName;
    DeviceFile adapter(
        api.CreateFileW(path.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, INVALID_HANDLE_VALUE));
    if (!adapter)
        return FALSE;
    ULONG oid = OID_802_11_SSID;
    BYTE answer[4096];
    DWORD returned = 0;
    return api.DeviceIoControl(adapter.Get(), IOCTL_NDIS_QUERY_GLOBAL_STATS, &oid, sizeof(oid), answer,
                               sizeof(answer), &returned, nullptr);
}

TEST_F(SimDeviceApiTest, OnlyTheWlanAdapterAnswersTheNdisQuery)
{
    EXPECT_TRUE(AskNdis(kWlanService));
    EXPECT_FALSE(AskNdis(kEthernetService));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_SUPPORTED), GetLastError());

    // The names defined stay defined.
    wchar_t target[MAX_PATH];
    const DWORD length = DeviceApi().QueryDosDeviceW(kWlanService, target, MAX_PATH);
    EXPECT_EQ(wcslen(target) + 2, length);
    EXPECT_EQ(std::wstring(L"\\Device\\") + kWlanService, target);

    ASSERT_TRUE(notebook.SetDisabled(kWlanDevice, false, true));
    EXPECT_FALSE(AskNdis(kWlanService));
    EXPECT_FALSE(AskNdis(L"{00000000-0000-0000-0000-000000000000}"));
}

// Asks the WLAN library for its interface descriptions the way the card scan does.
struct WlanAnswer {
    DWORD openResult = ERROR_SUCCESS;
    std::vector<std::wstring> descriptions;
};

WlanAnswer AskWlan(DWORD clientVersion)
{
    IDeviceApi& api = DeviceApi();
    WlanAnswer answer;
    DeviceLibrary library(api.LoadLibraryW(L"Wlanapi.dll"));
    EXPECT_TRUE(library) << GetLastError();
    if (!library)
        return answer;
    const auto entry = [&](const char* name) {
        return reinterpret_cast<void (*)()>(api.GetProcAddress(library.Get(), name));
    };
    const auto open = reinterpret_cast<decltype(&WlanOpenHandle)>(entry("WlanOpenHandle"));
    const auto enumerate = reinterpret_cast<decltype(&WlanEnumInterfaces)>(entry("WlanEnumInterfaces"));
    const auto freeMemory = reinterpret_cast<decltype(&WlanFreeMemory)>(entry("WlanFreeMemory"));
    const auto close = reinterpret_cast<decltype(&WlanCloseHandle)>(entry("WlanCloseHandle"));
    EXPECT_TRUE(open && enumerate && freeMemory && close);
    DWORD negotiated = 0;
    HANDLE client = nullptr;
    answer.openResult = open(clientVersion, nullptr, &negotiated, &client);
    if (answer.openResult != ERROR_SUCCESS)
        return answer;
    EXPECT_EQ(clientVersion, negotiated);
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), enumerate(client, nullptr, &list));
    for (DWORD i = 0; list && i < list->dwNumberOfItems; ++i)
        answer.descriptions.push_back(list->InterfaceInfo[i].strInterfaceDescription);
    freeMemory(list);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), close(client, nullptr));
    return answer;
}

TEST_F(SimDeviceApiTest, WlanLibraryListsTheInterfacesOfTheService)
{
    WlanAnswer answer = AskWlan(2);
    EXPECT_EQ(std::vector<std::wstring>{L"802.11n Wireless LAN Adapter"}, answer.descriptions);
    EXPECT_EQ(2u, notebook.LastWlanClientVersion());
    answer = AskWlan(1);
    EXPECT_EQ(1u, notebook.LastWlanClientVersion());

    ASSERT_TRUE(notebook.SetDisabled(kWlanDevice, false, true));
    EXPECT_TRUE(AskWlan(1).descriptions.empty());

    ASSERT_TRUE(notebook.SetWlanService({true, false}));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_NOT_ACTIVE), AskWlan(1).openResult);

    ASSERT_TRUE(notebook.SetWlanService({false, true}));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(nullptr, DeviceApi().LoadLibraryW(L"Wlanapi.dll"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
}

} // namespace
