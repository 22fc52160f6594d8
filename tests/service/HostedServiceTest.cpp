#include "foundation/CMMFData.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"
#include "service/ipc/RequestFields.h"
#include "sim/SimNotebook.h"
#include "tests/service/ServiceEnvironment.h"
#include "tests/service/ProductValues.h"
#include "tests/service/TestRequests.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/UniqueName.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

// End to end: TALOService.exe of the simulated notebook runs under the
// prefix's service manager, and requests come from this program and from
// child processes of it.

namespace {

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new InstalledServiceEnvironment);

using HostedService = InstalledServiceTest;

// What a request could change of the simulated devices.
std::vector<std::pair<bool, bool>> DeviceStates()
{
    std::vector<std::pair<bool, bool>> states;
    for (const SimDevice& device : CSimNotebook().Devices())
        states.emplace_back(device.Disabled(), device.present);
    return states;
}

// Sends the request; true when the reply is the request itself with the expected result.
bool ExchangeAndCheck(TALO_REQUEST request, LONG expectedResult)
{
    TALO_REQUEST reply = request;
    SendRequest(reply);
    request.Result = expectedResult;
    return SameBytes(reply, request);
}

// A value of the record the test opens (OpenTestRecord): the only values of the
// list the service writes with any text.
std::wstring RecordName(const wchar_t* field)
{
    return std::to_wstring(kMostDeviceRecords - 1) + field;
}

// A text unique to one request of one client.
std::wstring RecordText(int client, int request)
{
    return L"client " + std::to_wstring(client) + L" request " + std::to_wstring(request);
}

constexpr int kStressClients = 8;
constexpr int kStressRequests = 100;

// One client of the stress test: 100 mixed requests, each reply checked whole.
// The exit code is the number of replies that were not the request's own.
const ChildRole kStressClient(L"stress", [](const std::vector<std::wstring>& args) {
    const int client = std::stoi(args[1]);
    const DWORD deviceNum = static_cast<DWORD>(std::stoul(args[2]));
    const std::wstring forbiddenKey = L"SOFTWARE\\AirvaneTests\\" + args[3];
    int wrong = 0;
    for (int i = 0; i < kStressRequests; ++i) {
        bool right = true;
        switch (i % 5) {
        case 0:
            right = ExchangeAndCheck(RegistryRequest(REQ_SET_STRING, kDeviceListKey, RecordName(L"_DeviceName"),
                                                     0, RecordText(client, i)),
                                     0);
            break;
        case 1:
            // The count as it stands: refused, the list grows by one record at a time.
            right = ExchangeAndCheck(RegistryRequest(REQ_SET_DWORD, kDeviceListKey, kDeviceNumValue, deviceNum, L""), -1);
            break;
        case 2:
            right = ExchangeAndCheck(
                RegistryRequest(REQ_SET_STRING, forbiddenKey, RecordName(L"_Class"), 0, RecordText(client, i)),
                -1);
            break;
        case 3:
            right = ExchangeAndCheck(PatternRequest(i % 2 ? 0 : 6, client * 1000 + i), -1);
            break;
        default:
            right = i % 2 ? ExchangeAndCheck(DeviceRequest(REQ_ENABLE_DEVICE, L"Ports", kModemPort), 0)
                          : ExchangeAndCheck(DeviceRequest(REQ_DISABLE_DEVICE, L"Net", RecordText(client, i)), 1);
            break;
        }
        wrong += right ? 0 : 1;
    }
    return wrong;
});

// A client that sends request after request until it is killed.
const ChildRole kBusyClient(L"busy", [](const std::vector<std::wstring>&) -> int {
    for (int i = 0;; ++i) {
        RequestSetString(kDeviceListKey, RecordName(L"_DeviceName").c_str(), RecordText(-1, i).c_str());
        RequestSetDWord(L"SOFTWARE\\AirvaneTests\\Busy", L"Forbidden", 1);
    }
});

// The next client's own exchange: a value written, and the reply its own.
void ExpectOwnReply(const std::wstring& text)
{
    const TALO_REQUEST request = RegistryRequest(REQ_SET_STRING, kDeviceListKey, RecordName(L"_DeviceName"), 0, text);
    EXPECT_TRUE(ExchangeAndCheck(request, 0));
    std::wstring written;
    EXPECT_TRUE(ReadMachineString(kDeviceListKey, RecordName(L"_DeviceName"), &written));
    EXPECT_EQ(written, text);
}

} // namespace

TEST_F(HostedService, CarriesOutTheRegistryRequests)
{
    ScopedProductValues restore;
    OpenTestRecord();
    EXPECT_TRUE(RequestSetString(kDeviceListKey, RecordName(L"_DeviceName").c_str(), L"Adapter"));
    EXPECT_TRUE(RequestSetString(kDeviceListKey, RecordName(L"_Class").c_str(), L"Net"));
    EXPECT_TRUE(RequestSetString(kDeviceListKey, RecordName(L"_HwId").c_str(), kWlanAdapter));
    EXPECT_TRUE(RequestSetDWord(kDeviceListKey, kDeviceNumValue, kMostDeviceRecords));
    EXPECT_TRUE(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 1));
    // Poisoning the list: a counted record rewritten, a count that readers would loop over.
    EXPECT_FALSE(RequestSetString(kDeviceListKey, RecordName(L"_HwId").c_str(), kEthernetAdapter));
    EXPECT_FALSE(RequestSetDWord(kDeviceListKey, kDeviceNumValue, 2147483647));

    std::wstring text;
    EXPECT_TRUE(ReadMachineString(kDeviceListKey, RecordName(L"_DeviceName"), &text));
    EXPECT_EQ(text, L"Adapter");
    EXPECT_TRUE(ReadMachineString(kDeviceListKey, RecordName(L"_HwId"), &text));
    EXPECT_EQ(text, kWlanAdapter);
    DWORD number = 0;
    EXPECT_TRUE(ReadMachineDWord(kDeviceListKey, kDeviceNumValue, &number));
    EXPECT_EQ(number, static_cast<DWORD>(kMostDeviceRecords));
    EXPECT_TRUE(ReadMachineDWord(kCompanionFlagKey, kCompanionFlagValue, &number));
    EXPECT_EQ(number, 1u);
}

TEST_F(HostedService, SwitchesTheDevicesTheSystemManages)
{
    ScopedProductValues restore;
    for (const auto& [className, prefix] : {std::pair{L"USB", kModemRoot}, std::pair{L"Ports", kModemPort}}) {
        SCOPED_TRACE(testing::Message() << std::string(prefix, prefix + wcslen(prefix)));
        EXPECT_EQ(RequestDisableDevice(className, prefix), 0);
        EXPECT_TRUE(SimulatedDevice(prefix).Disabled());
        EXPECT_EQ(RequestEnableDevice(className, prefix), 0);
        EXPECT_FALSE(SimulatedDevice(prefix).Disabled());
    }

    // The WLAN adapter, once the launcher's catalog has registered it.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceListKey);
    EXPECT_EQ(RequestDisableDevice(L"Net", kWlanAdapter), 1);
    EXPECT_TRUE(RequestSetString(kDeviceListKey, L"0_DeviceName", L"Wireless"));
    EXPECT_TRUE(RequestSetString(kDeviceListKey, L"0_Class", L"Net"));
    EXPECT_TRUE(RequestSetString(kDeviceListKey, L"0_HwId", kWlanAdapter));
    EXPECT_TRUE(RequestSetDWord(kDeviceListKey, kDeviceNumValue, 1));
    // Any user may register an adapter: a wired one is refused, so it cannot be switched off.
    EXPECT_FALSE(RequestSetString(kDeviceListKey, L"1_HwId", kEthernetAdapter));
    EXPECT_EQ(RequestDisableDevice(L"Net", kWlanAdapter), 0);
    EXPECT_TRUE(SimulatedDevice(kWlanAdapter).Disabled());
    EXPECT_EQ(RequestEnableDevice(L"Net", kWlanAdapter), 0);
    EXPECT_FALSE(SimulatedDevice(kWlanAdapter).Disabled());

    TALO_REQUEST eject = NewRequest(REQ_EJECT_MEDIA);
    SendRequest(eject);
    EXPECT_EQ(eject.Result, 0);
    EXPECT_FALSE(SimulatedDevice(kCdrom).present);
}

TEST_F(HostedService, AnswersUnknownCodesWithTheRequestUnchanged)
{
    for (const DWORD code : {0u, 6u}) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(ExchangeAndCheck(PatternRequest(code, code), -1));
    }
}

TEST_F(HostedService, RefusesForbiddenRequestsWithNothingDone)
{
    ScopedProductValues restore;
    const auto devicesBefore = DeviceStates();
    DWORD deviceNumBefore = 0;
    const bool hadDeviceNum = ReadMachineDWord(kDeviceListKey, kDeviceNumValue, &deviceNumBefore);
    const std::wstring unique = UniqueName(L"Forbidden");
    const std::wstring record = std::to_wstring(TestRecordIndex(2)) + L"_Class";
    const std::wstring device = kDeviceListKey;
    const struct {
        const char* what;
        TALO_REQUEST request;
        LONG result;
        std::wstring key; // where nothing may appear
        std::wstring value;
    } cases[] = {
        {"another key", RegistryRequest(REQ_SET_DWORD, L"SOFTWARE\\AirvaneTests\\" + unique, L"V", 1, L""), -1,
         L"SOFTWARE\\AirvaneTests\\" + unique, L""},
        {"the autostart key", RegistryRequest(REQ_SET_STRING, kRunKey, unique, 0, L"evil.exe"), -1, kRunKey, unique},
        {"another value", RegistryRequest(REQ_SET_STRING, device, unique, 0, L"x"), -1, device, unique},
        {"a record field as a number", RegistryRequest(REQ_SET_DWORD, device, record, 1, L""), -1, device, record},
        {"a leading zero", RegistryRequest(REQ_SET_STRING, device, L"0" + record, 0, L"x"), -1, device, L"0" + record},
        {"the record count as text", RegistryRequest(REQ_SET_STRING, device, kDeviceNumValue, 0, L"x"), -1, L"", L""},
        {"the flag as 2", RegistryRequest(REQ_SET_DWORD, kCompanionFlagKey, kCompanionFlagValue, 2, L""), -1, L"", L""},
        {"dot-dot", RegistryRequest(REQ_SET_STRING, device + L"\\..\\" + unique, record, 0, L"x"), -1,
         L"SOFTWARE\\Korvath\\Airvane\\" + unique, L""},
        {"a doubled backslash", RegistryRequest(REQ_SET_STRING, L"SOFTWARE\\\\Korvath\\Airvane\\Device", record, 0, L"x"),
         -1, device, record},
        {"a leading backslash", RegistryRequest(REQ_SET_STRING, L"\\" + device, record, 0, L"x"), -1, device, record},
        {"a trailing backslash", RegistryRequest(REQ_SET_STRING, device + L"\\", record, 0, L"x"), -1, device, record},
        {"a sub-key", RegistryRequest(REQ_SET_DWORD, device + L"\\" + unique, kDeviceNumValue, 1, L""), -1,
         device + L"\\" + unique, L""},
        {"an unnamed device", DeviceRequest(REQ_DISABLE_DEVICE, L"Net", kEthernetAdapter), 1, L"", L""},
        {"every network adapter", DeviceRequest(REQ_DISABLE_DEVICE, L"Net", L""), 1, L"", L""},
        {"every device of a named class", DeviceRequest(REQ_DISABLE_DEVICE, L"USB", L""), 1, L"", L""},
        {"part of a named prefix", DeviceRequest(REQ_DISABLE_DEVICE, L"USB", L"USB"), 1, L"", L""},
        {"a named prefix in another class", DeviceRequest(REQ_DISABLE_DEVICE, L"Ports", kModemRoot), 1, L"", L""},
        {"an empty class", DeviceRequest(REQ_ENABLE_DEVICE, L"", L""), 1, L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(ExchangeAndCheck(c.request, c.result));
        std::wstring text;
        if (!c.value.empty()) {
            EXPECT_FALSE(ReadMachineString(c.key.c_str(), c.value, &text));
        } else if (!c.key.empty()) {
            EXPECT_FALSE(MachineKeyExists(c.key));
        }
    }

    // Fields without their terminator.
    TALO_REQUEST key = RegistryRequest(REQ_SET_DWORD, device, kDeviceNumValue, 9, L"");
    std::fill(std::begin(key.Body.Registry.KeyPath), std::end(key.Body.Registry.KeyPath), L'K');
    TALO_REQUEST value = RegistryRequest(REQ_SET_DWORD, device, kDeviceNumValue, 9, L"");
    std::fill(std::begin(value.Body.Registry.ValueName), std::end(value.Body.Registry.ValueName), L'V');
    TALO_REQUEST text = RegistryRequest(REQ_SET_STRING, device, record, 0, L"");
    std::fill(std::begin(text.Body.Registry.Data.Text), std::end(text.Body.Registry.Data.Text), L'T');
    TALO_REQUEST className = DeviceRequest(REQ_DISABLE_DEVICE, L"USB", kModemRoot);
    std::fill(std::begin(className.Body.Device.ClassName), std::end(className.Body.Device.ClassName), L'C');
    TALO_REQUEST prefix = DeviceRequest(REQ_DISABLE_DEVICE, L"USB", kModemRoot);
    std::fill(std::begin(prefix.Body.Device.HwIdPrefix), std::end(prefix.Body.Device.HwIdPrefix), L'P');
    EXPECT_TRUE(ExchangeAndCheck(key, -1));
    EXPECT_TRUE(ExchangeAndCheck(value, -1));
    EXPECT_TRUE(ExchangeAndCheck(text, -1));
    EXPECT_TRUE(ExchangeAndCheck(className, 1));
    EXPECT_TRUE(ExchangeAndCheck(prefix, 1));
    std::wstring written;
    EXPECT_FALSE(ReadMachineString(kDeviceListKey, record, &written));

    DWORD deviceNumAfter = 0;
    EXPECT_EQ(ReadMachineDWord(kDeviceListKey, kDeviceNumValue, &deviceNumAfter), hadDeviceNum);
    EXPECT_EQ(deviceNumAfter, deviceNumBefore);
    DWORD flag = 0;
    EXPECT_FALSE(ReadMachineDWord(kCompanionFlagKey, kCompanionFlagValue, &flag) && flag == 2);
    EXPECT_EQ(DeviceStates(), devicesBefore) << "a device was switched";
}

TEST_F(HostedService, EightClientsGetTheirOwnReplies)
{
    ScopedProductValues restore;
    OpenTestRecord();
    DWORD deviceNum = 0;
    ReadMachineDWord(kDeviceListKey, kDeviceNumValue, &deviceNum);
    const std::wstring forbidden = UniqueName(L"Stress");
    std::vector<DWORD> wrong(kStressClients, kNoExitCode);
    std::vector<std::thread> clients;
    for (int client = 0; client < kStressClients; ++client) {
        clients.emplace_back([&, client] {
            wrong[client] = RunChild(L"stress", {L"0", std::to_wstring(client),
                                                 std::to_wstring(deviceNum), forbidden},
                                     120000);
        });
    }
    for (std::thread& client : clients)
        client.join();
    for (int client = 0; client < kStressClients; ++client)
        EXPECT_EQ(wrong[client], 0u) << "wrong replies of client " << client;

    // The clients share the value: it holds the last write of one of them.
    std::wstring text;
    EXPECT_TRUE(ReadMachineString(kDeviceListKey, RecordName(L"_DeviceName"), &text));
    bool someLast = false;
    for (int client = 0; client < kStressClients; ++client)
        someLast = someLast || text == RecordText(client, (kStressRequests - 1) / 5 * 5);
    EXPECT_TRUE(someLast) << "not a client's last write";
    EXPECT_FALSE(MachineKeyExists(L"SOFTWARE\\AirvaneTests\\" + forbidden));
}

// Killed at each step of the exchange: service_robust_tests.
TEST_F(HostedService, AClientKilledMidRequestLeavesTheNextItsOwnReply)
{
    ScopedProductValues restore;
    OpenTestRecord();
    std::mt19937 random(GetCurrentProcessId());
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(testing::Message() << "killed busy client " << round);
        // Killed when the time is up, well into its requests: a process starts in about 50 ms.
        EXPECT_EQ(RunChild(L"busy", {}, 100 + random() % 200), kNoExitCode);
        ExpectOwnReply(L"after kill " + std::to_wstring(round));
    }
}

TEST_F(HostedService, StopsCleanlyOnScStop)
{
    ASSERT_EQ(RunCommand(L"sc.exe stop " + std::wstring(kServiceName)), 0u);
    EXPECT_TRUE(AwaitServiceState(SERVICE_STOPPED, 10000));
    DWORD exitCode = 0xFFFFFFFF;
    ServiceState(&exitCode);
    EXPECT_EQ(exitCode, static_cast<DWORD>(NO_ERROR));

    const DWORD start = GetTickCount();
    EXPECT_FALSE(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 1));
    EXPECT_EQ(RequestEnableDevice(L"Bluetooth", L""), -1);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(KernelHandle(OpenFileMappingW(FILE_MAP_READ, FALSE, kRequestBlockName)).IsValid());

    EXPECT_TRUE(StartInstalledService()) << "and starts again";
}

// The installer runs "TALOService.exe /await-end" after it asked the service to
// stop: it returns once the service's process has ended and left its files free.
TEST_F(HostedService, AwaitEndReturnsOnceTheStoppedServiceHasEnded)
{
    ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    ServiceHandle service(manager ? OpenServiceW(manager.Get(), kServiceName, SERVICE_QUERY_STATUS) : nullptr);
    SERVICE_STATUS_PROCESS status = {};
    DWORD needed = 0;
    ASSERT_TRUE(service && QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                                sizeof(status), &needed));
    const KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, status.dwProcessId));
    ASSERT_TRUE(process);

    ASSERT_EQ(RunCommand(L"sc.exe stop " + std::wstring(kServiceName)), 0u);
    EXPECT_EQ(RunCommand(L"\"" + HostPath() + L"\" /await-end"), 0u);
    EXPECT_EQ(WaitForSingleObject(process.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(RunCommand(L"\"" + HostPath() + L"\" /await-end"), 0u) << "with the service stopped";

    EXPECT_TRUE(StartInstalledService()) << "and starts again";
}
