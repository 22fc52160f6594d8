#include "foundation/CMMFData.h"
#include "foundation/CSynchronizer.h"
#include "foundation/Handle.h"
#include "automation/InstalledService.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"
#include "service/ipc/TaloRequest.h"
#include "sim/SimNotebook.h"
#include "tests/service/ProductValues.h"
#include "tests/service/ServiceEnvironment.h"
#include "tests/service/TestRequests.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/SoakFigures.h"
#include "tests/support/UniqueName.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

// TALOService.exe of the simulated notebook under load, with clients killed at
// every step of an exchange, a service stopped, killed and started again while
// clients wait, and a process that ignores the protocol and scribbles into the
// block. Short figures in every run, the long ones in the soak.

namespace {

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new InstalledServiceEnvironment);

using RobustService = InstalledServiceTest;

// The values of the record the test opens (OpenTestRecord), by slot: slots cycle
// through its name and class, the only values of the list the service writes with
// any text (a hardware ID only when it is a WLAN adapter's).
constexpr int kRecordSlots = 2;

std::wstring RecordName(int slot)
{
    static const wchar_t* const suffixes[kRecordSlots] = {L"_DeviceName", L"_Class"};
    return std::to_wstring(kMostDeviceRecords - 1) + suffixes[slot % kRecordSlots];
}

// ---- Load: clients in processes of their own.

// One load client: requests of four kinds in turn, every other one a write to the
// test record's values, which all clients share; every request must answer 0.
// Writes "<made> <lost> <wrong>" and then every latency in microseconds into the
// file named.
const ChildRole kLoadClient(L"load", [](const std::vector<std::wstring>& args) {
    const int client = std::stoi(args[1]);
    const int requests = std::stoi(args[2]);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    int lost = 0, wrong = 0;
    std::vector<long long> latencies;
    for (int i = 0; i < requests; ++i) {
        const std::wstring name = RecordName(i / 2);
        const std::wstring text = L"client " + std::to_wstring(client) + L" request " + std::to_wstring(i);
        LARGE_INTEGER from, to;
        QueryPerformanceCounter(&from);
        int result = 0;
        switch (i % 4) {
        case 0:
        case 2:
            result = RequestSetString(kDeviceListKey, name.c_str(), text.c_str()) ? 0 : -1;
            break;
        case 1:
            result = RequestDisableDevice(L"Ports", kModemPort);
            break;
        default:
            result = RequestEnableDevice(L"Ports", kModemPort);
            break;
        }
        QueryPerformanceCounter(&to);
        latencies.push_back((to.QuadPart - from.QuadPart) * 1000000 / frequency.QuadPart);
        if (result == -1)
            ++lost;
        else if (result != 0)
            ++wrong;
    }
    std::ofstream out(args[3].c_str());
    out << requests << ' ' << lost << ' ' << wrong << '\n';
    for (long long latency : latencies)
        out << latency << '\n';
    return lost + wrong;
});

struct LoadOutcome {
    long long made = 0, lost = 0, wrong = 0, hung = 0;
    std::vector<long long> latencies;
};

LoadOutcome RunLoad(int clients, int requests)
{
    std::vector<std::wstring> files;
    std::vector<DWORD> exits(clients, kNoExitCode);
    std::vector<std::thread> threads;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (int c = 0; c < clients; ++c)
        files.push_back(std::wstring(temp) + UniqueName(L"load") + std::to_wstring(c) + L".txt");
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            exits[c] = RunChild(L"load",
                                {L"0", std::to_wstring(c), std::to_wstring(requests), files[c]},
                                static_cast<DWORD>(60000 + requests * clients * 20));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    LoadOutcome outcome;
    for (int c = 0; c < clients; ++c) {
        std::ifstream in(files[c].c_str());
        long long made = 0, lost = 0, wrong = 0;
        if (exits[c] == kNoExitCode || !(in >> made >> lost >> wrong)) {
            ++outcome.hung;
        } else {
            outcome.made += made;
            outcome.lost += lost;
            outcome.wrong += wrong;
            for (long long latency; in >> latency;)
                outcome.latencies.push_back(latency);
        }
        in.close();
        DeleteFileW(files[c].c_str());
    }
    return outcome;
}

// Each value of the test record holds the text of the last write to it: the last
// write of one of the clients.
int ValuesNotAsLastWritten(int clients, int requests)
{
    int wrong = 0;
    for (int n = 0; n < kRecordSlots; ++n) {
        std::vector<std::wstring> lastTexts;
        for (int c = 0; c < clients; ++c) {
            int last = -1;
            for (int i = 0; i < requests; i += 2) {
                if (i / 2 % kRecordSlots == n)
                    last = i;
            }
            if (last >= 0)
                lastTexts.push_back(L"client " + std::to_wstring(c) + L" request " + std::to_wstring(last));
        }
        std::wstring written;
        if (!lastTexts.empty() && (!ReadMachineString(kDeviceListKey, RecordName(n), &written) ||
                                   std::find(lastTexts.begin(), lastTexts.end(), written) == lastTexts.end()))
            ++wrong;
    }
    return wrong;
}

long long Percentile(std::vector<long long> samples, double p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, static_cast<size_t>(p * samples.size()))];
}

// What the service may never change: the devices the clients do not switch.
std::vector<std::pair<bool, bool>> UntouchedDevices()
{
    std::vector<std::pair<bool, bool>> states;
    for (const SimDevice& device : CSimNotebook().Devices()) {
        if (device.hardwareIds.front().compare(0, wcslen(kModemPort), kModemPort) != 0)
            states.emplace_back(device.Disabled(), device.present);
    }
    return states;
}

// ---- The rogue: a local process that ignores every mutex.

// Until the event named is set: now and then sets the request event, writes
// garbage over the whole block, or both. Garbage is random bytes, or a request
// with a random code and text that names no value or device the system manages
// (a rewrite of part of a client's own request is a request of that client's
// kind, which any user may send: no check could tell it apart). Exit code: the
// number of acts.
const ChildRole kRogue(L"rogue", [](const std::vector<std::wstring>& args) {
    const KernelHandle stop(OpenEventW(SYNCHRONIZE, FALSE, args[0].c_str()));
    const KernelHandle request(OpenEventW(EVENT_MODIFY_STATE, FALSE, kRequestEvent));
    const std::wstring forbiddenKey = L"SOFTWARE\\AirvaneTests\\" + args[1];
    std::mt19937 random(GetCurrentProcessId());
    int acts = 0;
    while (WaitForSingleObject(stop.Get(), random() % 3) == WAIT_TIMEOUT) {
        const unsigned what = random() % 3;
        if (what != 0) {
            TALO_REQUEST garbage;
            auto* bytes = reinterpret_cast<BYTE*>(&garbage);
            for (size_t i = 0; i < sizeof(garbage); ++i)
                bytes[i] = static_cast<BYTE>(random());
            if (random() % 2) {
                const DWORD codes[] = {0, 1, 2, 3, 4, 6};
                garbage.Code = codes[random() % 6];
                if (garbage.Code == REQ_ENABLE_DEVICE || garbage.Code == REQ_DISABLE_DEVICE) {
                    wcscpy(garbage.Body.Device.ClassName, random() % 2 ? L"Net" : L"USB");
                    wcscpy(garbage.Body.Device.HwIdPrefix, random() % 2 ? L"PCI" : L"");
                } else {
                    wcscpy(garbage.Body.Registry.KeyPath, random() % 2 ? forbiddenKey.c_str() : kRunKey);
                    wcscpy(garbage.Body.Registry.ValueName, L"Rogue");
                }
            }
            KernelHandle mapping(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kRequestBlockName));
            MappedView view(mapping ? MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr);
            if (view)
                std::memcpy(view.Get(), &garbage, sizeof(garbage));
        }
        if (what != 1)
            SetEvent(request.Get());
        ++acts;
    }
    return acts;
});

void ExpectLoadClean(const LoadOutcome& outcome, long long expectedRequests)
{
    EXPECT_EQ(outcome.hung, 0) << "clients that hung or did not report";
    EXPECT_EQ(outcome.made, expectedRequests);
    EXPECT_EQ(outcome.lost, 0) << "requests answered -1";
    EXPECT_EQ(outcome.wrong, 0) << "wrong answers or values not read back";
}

// ---- Faults.

// The steps at which a client can die during its exchange.
enum DeathStep {
    kAfterTakingTheTransaction,
    kAfterWriting,
    kAfterSignalling,
    kAfterTheAnswer,
    kAfterResettingTheCompletion,
    kAfterReadingTheReply,
    kDeathSteps
};

// Sends request as a client does and ends the process after the step.
[[noreturn]] void ExchangeAndDieAt(int step, TALO_REQUEST request)
{
    const HANDLE transaction = CreateMutexW(nullptr, FALSE, kTransactionMutex);
    WaitForSingleObject(transaction, INFINITE);
    if (step == kAfterTakingTheTransaction)
        ExitProcess(0);
    const HANDLE completion = CreateEventW(nullptr, TRUE, FALSE, kCompletionEvent);
    const HANDLE requestEvent = CreateEventW(nullptr, TRUE, FALSE, kRequestEvent);
    CMMFData block(kRequestBlockName);
    if (step == kAfterWriting) {
        block.WriteBlock(&request, sizeof(request));
        ExitProcess(0);
    }
    ResetEvent(completion);
    block.WriteBlockAndSignal(&request, sizeof(request), requestEvent);
    if (step == kAfterSignalling)
        ExitProcess(0);
    WaitForSingleObject(completion, INFINITE);
    if (step == kAfterTheAnswer)
        ExitProcess(0);
    ResetEvent(completion);
    if (step == kAfterResettingTheCompletion)
        ExitProcess(0);
    block.ReadBlock(&request, sizeof(request));
    ExitProcess(0);
}

// A client that follows the exchange up to the step and then ends at once,
// without closing or releasing anything, as when it is killed.
const ChildRole kDyingClient(L"die-at", [](const std::vector<std::wstring>& args) -> int {
    const int step = std::stoi(args[0]);
    TALO_REQUEST request = RegistryRequest(REQ_SET_STRING, kDeviceListKey, RecordName(std::stoi(args[1])), 0, L"dying");
    ExchangeAndDieAt(step, request);
});

// Sends one request and reports its result: 0 written, 1 refused or failed, 2 no service.
const ChildRole kOneRequest(L"one", [](const std::vector<std::wstring>& args) {
    TALO_REQUEST request = RegistryRequest(REQ_SET_STRING, kDeviceListKey, RecordName(std::stoi(args[0])), 0, L"one");
    SendRequest(request);
    return request.Result == 0 ? 0 : request.Result == -1 ? 2 : 1;
});

// Until the event is set: requests in a loop. Exit code: wrong replies (a
// reply other than 0 or -1) times 1000, plus 1 when no request succeeded.
// They write the companion flag: the test record's values are the test's own to read back.
const ChildRole kBusyClient(L"busy", [](const std::vector<std::wstring>& args) {
    const KernelHandle stop(OpenEventW(SYNCHRONIZE, FALSE, args[0].c_str()));
    int wrong = 0, succeeded = 0;
    for (int i = 0; WaitForSingleObject(stop.Get(), 0) == WAIT_TIMEOUT; ++i) {
        const TALO_REQUEST request =
            RegistryRequest(REQ_SET_DWORD, kCompanionFlagKey, kCompanionFlagValue, static_cast<DWORD>(i % 2), L"");
        TALO_REQUEST reply = request;
        SendRequest(reply);
        if (reply.Result == 0 && std::memcmp(&reply, &request, offsetof(TALO_REQUEST, Result)) == 0)
            ++succeeded;
        else if (reply.Result != -1)
            ++wrong;
        else
            Sleep(1); // no service just now: it is being started again
    }
    return wrong * 1000 + (succeeded ? 0 : 1);
});

bool OwnReplyWritten(int index, const std::wstring& text)
{
    const TALO_REQUEST request = RegistryRequest(REQ_SET_STRING, kDeviceListKey, RecordName(index), 0, text);
    TALO_REQUEST reply = request;
    SendRequest(reply);
    std::wstring written;
    return reply.Result == 0 && std::memcmp(&reply, &request, offsetof(TALO_REQUEST, Result)) == 0 &&
           ReadMachineString(kDeviceListKey, RecordName(index), &written) && written == text;
}

DWORD ServiceProcessId()
{
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const ServiceHandle service(manager ? OpenServiceW(manager.Get(), kServiceName, SERVICE_QUERY_STATUS) : nullptr);
    SERVICE_STATUS_PROCESS status = {};
    DWORD bytes = 0;
    if (!service || !QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                          sizeof(status), &bytes)) {
        return 0;
    }
    return status.dwProcessId;
}

} // namespace

TEST_F(RobustService, ClientsUnderLoadLoseNothing)
{
    ScopedProductValues restore;
    const int clients = static_cast<int>(Figure(4, 16));
    const int requests = static_cast<int>(Figure(200, 1000));
    OpenTestRecord();
    const auto untouched = UntouchedDevices();
    const LoadOutcome outcome = RunLoad(clients, requests);
    ExpectLoadClean(outcome, static_cast<long long>(clients) * requests);
    EXPECT_EQ(ValuesNotAsLastWritten(clients, requests), 0);
    EXPECT_FALSE(SimulatedDevice(kModemPort).Disabled()) << "every client ended with an enable";
    EXPECT_EQ(UntouchedDevices(), untouched);
    std::cout << clients << " clients x " << requests << " requests: p50 " << Percentile(outcome.latencies, 0.5)
              << " us, p99 " << Percentile(outcome.latencies, 0.99) << " us\n";
    ReportCount("requests-made", outcome.made);
    ReportCount("requests-lost", outcome.lost);
    ReportCount("requests-wrong", outcome.wrong);
    ReportCount("requests-hung", outcome.hung);
    RecordProperty("p50_us", static_cast<int>(Percentile(outcome.latencies, 0.5)));
    RecordProperty("p99_us", static_cast<int>(Percentile(outcome.latencies, 0.99)));
}

TEST_F(RobustService, ARogueProcessChangesNothingTheClientsWrote)
{
    ScopedProductValues restore;
    const int clients = static_cast<int>(Figure(4, 16));
    const int requests = static_cast<int>(Figure(200, 1000));
    OpenTestRecord();
    const auto untouched = UntouchedDevices();
    const std::wstring stopName = UniqueName(L"RogueStop");
    const std::wstring forbidden = UniqueName(L"Rogue");
    KernelHandle stop(CreateEventW(nullptr, TRUE, FALSE, stopName.c_str()));
    DWORD acts = 0;
    std::thread rogue([&] { acts = RunChild(L"rogue", {stopName, forbidden}, 600000); });
    const LoadOutcome outcome = RunLoad(clients, requests);
    SetEvent(stop.Get());
    rogue.join();

    EXPECT_GT(acts, 0u);
    EXPECT_NE(acts, kNoExitCode);
    EXPECT_EQ(ServiceState(), static_cast<DWORD>(SERVICE_RUNNING)) << "the service went down";
    ExpectLoadClean(outcome, static_cast<long long>(clients) * requests);
    // Counted before the request below rewrites one of the values.
    const int notAsWritten = ValuesNotAsLastWritten(clients, requests);
    EXPECT_EQ(notAsWritten, 0);
    EXPECT_FALSE(MachineKeyExists(L"SOFTWARE\\AirvaneTests\\" + forbidden));
    std::wstring text;
    EXPECT_FALSE(ReadMachineString(kRunKey, L"Rogue", &text));
    EXPECT_EQ(UntouchedDevices(), untouched) << "a device the clients do not switch was switched";
    EXPECT_TRUE(OwnReplyWritten(0, L"after the rogue"));
    std::cout << "rogue acts: " << acts << "\n";
    ReportCount("rogue-acts", acts);
    ReportCount("requests-made", outcome.made);
    ReportCount("requests-lost", outcome.lost);
    ReportCount("requests-wrong", outcome.wrong + notAsWritten);
    ReportCount("requests-hung", outcome.hung);
}

TEST_F(RobustService, AClientKilledAtAnyStepLeavesTheNextItsOwnReply)
{
    ScopedProductValues restore;
    OpenTestRecord();
    const int rounds = static_cast<int>(Figure(3, 20));
    int slot = 500000, kills = 0, failures = 0;
    for (int step = 0; step < kDeathSteps; ++step) {
        for (int round = 0; round < rounds; ++round) {
            SCOPED_TRACE(testing::Message() << "step " << step << ", round " << round);
            EXPECT_EQ(RunChild(L"die-at", {std::to_wstring(step), std::to_wstring(slot++)}), 0u);
            ++kills;
            const bool own = OwnReplyWritten(slot++, L"after step " + std::to_wstring(step));
            EXPECT_TRUE(own);
            failures += own ? 0 : 1;
        }
    }
    ReportCount("clients-killed", kills);
    ReportCount("kill-failures", failures);
}

TEST_F(RobustService, AClientWaitingWhenTheServiceStopsOrDiesIsAnswered)
{
    ScopedProductValues restore;
    OpenTestRecord();
    const int rounds = static_cast<int>(Figure(2, 10));
    int failures = 0, stops = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const bool kill : {false, true}) {
            SCOPED_TRACE(testing::Message() << (kill ? "killed" : "stopped") << ", round " << round);
            const int slot = 600000 + round * 100 + (kill ? 50 : 0);
            const std::wstring stale = RecordName(slot);
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, kDeviceListKey, stale.c_str(), REG_SZ, L"before", sizeof(L"before"));

            // The worker is held up by the block mutex while a request is signalled
            // and a client waits for its answer; the block is kept open from here,
            // so that it outlives a service that dies.
            CMMFData names(kRequestBlockName);
            KernelHandle mapping(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kRequestBlockName));
            MappedView view(mapping ? MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr);
            ASSERT_TRUE(view);
            // The request event too is held open, so that its signal outlives the service.
            KernelHandle request(OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, kRequestEvent));
            ASSERT_TRUE(request);
            DWORD waiting = kNoExitCode;
            std::thread waiter;
            {
                CSynchronizer lock(names.GetBlockMutexName(), 1, INFINITE);
                const TALO_REQUEST late = RegistryRequest(REQ_SET_STRING, kDeviceListKey, stale, 0, L"late");
                std::memcpy(view.Get(), &late, sizeof(late));
                SetEvent(request.Get());
                waiter = std::thread(
                    [&] { waiting = RunChild(L"one", {std::to_wstring(slot + 10)}, 60000); });
                Sleep(500);
                if (kill) {
                    KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ServiceProcessId()));
                    EXPECT_TRUE(process);
                    TerminateProcess(process.Get(), 1);
                    WaitForSingleObject(process.Get(), 10000);
                    waiter.join(); // answered while the block mutex is still held: the service's mutex was abandoned
                } else {
                    RunCommand(L"sc.exe stop " + std::wstring(kServiceName));
                }
            }
            if (waiter.joinable())
                waiter.join();
            // Wine's service manager may take its time to see a killed service as stopped.
            const bool stopped = AwaitServiceState(SERVICE_STOPPED, kill ? 3000 : 20000);
            EXPECT_TRUE(stopped || kill);
            EXPECT_EQ(waiting, 2u) << "the waiting client: 2 is no service";
            if (kill) {
                // The request the dead service never answered is still signalled, in a block that lives on.
                EXPECT_EQ(WaitForSingleObject(request.Get(), 0), WAIT_OBJECT_0);
            }

            ASSERT_TRUE(StartInstalledService());
            ++stops;
            const bool first = OwnReplyWritten(slot + 20, L"first after the restart");
            EXPECT_TRUE(first) << "the first request after the restart";
            std::wstring text;
            const bool ranLate = kill && ReadMachineString(kDeviceListKey, stale, &text) && text == L"late";
            EXPECT_FALSE(ranLate) << "a request from before the end ran in the new service";
            request.Reset();
            failures += (waiting == 2u ? 0 : 1) + (first ? 0 : 1) + (ranLate ? 1 : 0);
        }
    }
    ReportCount("service-stops", stops);
    ReportCount("stop-failures", failures);
}

TEST_F(RobustService, BusyClientsRideThroughRestarts)
{
    ScopedProductValues restore;
    OpenTestRecord();
    const int restarts = static_cast<int>(Figure(2, 10));
    const std::wstring stopName = UniqueName(L"BusyStop");
    KernelHandle stop(CreateEventW(nullptr, TRUE, FALSE, stopName.c_str()));
    std::vector<DWORD> busy(3, kNoExitCode);
    std::vector<std::thread> clients;
    for (int c = 0; c < 3; ++c) {
        clients.emplace_back([&, c] {
            busy[c] = RunChild(L"busy", {stopName}, 300000);
        });
    }
    int failures = 0;
    for (int round = 0; round < restarts; ++round) {
        SCOPED_TRACE(round);
        Sleep(300);
        EXPECT_EQ(RunCommand(L"sc.exe stop " + std::wstring(kServiceName)), 0u);
        EXPECT_TRUE(AwaitServiceState(SERVICE_STOPPED, 20000));
        ASSERT_TRUE(StartInstalledService());
        const bool first = OwnReplyWritten(700100 + round, L"after restart " + std::to_wstring(round));
        EXPECT_TRUE(first);
        failures += first ? 0 : 1;
    }
    Sleep(300);
    SetEvent(stop.Get());
    for (std::thread& client : clients)
        client.join();
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(busy[c], 0u) << "busy client " << c << ": hung (" << kNoExitCode
                               << "), wrong replies (x1000) or none answered (1)";
        failures += busy[c] == 0 ? 0 : 1;
    }
    ReportCount("service-stops", restarts);
    ReportCount("stop-failures", failures);
}

// ---- Other users: the channel's objects, a held block mutex, leftover and taken names.

namespace {

struct ChannelObject {
    const char* what;
    std::wstring name;
    DWORD userAccess;
    HANDLE (*open)(const std::wstring& name);
};

HANDLE OpenMutexToRead(const std::wstring& name) { return OpenMutexW(READ_CONTROL, FALSE, name.c_str()); }
HANDLE OpenEventToRead(const std::wstring& name) { return OpenEventW(READ_CONTROL, FALSE, name.c_str()); }
HANDLE OpenBlockToRead(const std::wstring& name) { return OpenFileMappingW(READ_CONTROL, FALSE, name.c_str()); }

std::vector<ChannelObject> ChannelObjects()
{
    return {
        {"instance mutex", kServiceInstanceMutex, SYNCHRONIZE | MUTEX_MODIFY_STATE, OpenMutexToRead},
        {"transaction mutex", kTransactionMutex, SYNCHRONIZE | MUTEX_MODIFY_STATE, OpenMutexToRead},
        {"block mutex", CMMFData(kRequestBlockName).GetBlockMutexName(), SYNCHRONIZE | MUTEX_MODIFY_STATE,
         OpenMutexToRead},
        {"request event", kRequestEvent, SYNCHRONIZE | EVENT_MODIFY_STATE, OpenEventToRead},
        {"completion event", kCompletionEvent, SYNCHRONIZE | EVENT_MODIFY_STATE, OpenEventToRead},
        {"block", kRequestBlockName, FILE_MAP_READ | FILE_MAP_WRITE, OpenBlockToRead},
    };
}

bool IsSid(const void* sid, WELL_KNOWN_SID_TYPE type)
{
    return IsWellKnownSid(const_cast<void*>(sid), type) != FALSE;
}

DWORD ServiceSpecificExitCode()
{
    ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    ServiceHandle service(manager ? OpenServiceW(manager.Get(), kServiceName, SERVICE_QUERY_STATUS) : nullptr);
    SERVICE_STATUS status = {};
    if (!service || !QueryServiceStatus(service.Get(), &status) || status.dwWin32ExitCode != ERROR_SERVICE_SPECIFIC_ERROR)
        return 0;
    return status.dwServiceSpecificExitCode;
}

} // namespace

// The system owns every object; the system and administrators have full access,
// interactive and authenticated users only what the exchange needs: nobody else
// can change an object's security, take it over or delete it.
TEST_F(RobustService, TheChannelsObjectsGiveUsersOnlyWhatTheProtocolNeeds)
{
    for (const ChannelObject& object : ChannelObjects()) {
        SCOPED_TRACE(object.what);
        KernelHandle handle(object.open(object.name));
        ASSERT_TRUE(handle) << GetLastError();
        PSID owner = nullptr;
        ACL* dacl = nullptr;
        LocalMemory descriptor;
        ASSERT_EQ(GetSecurityInfo(handle.Get(), SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                  &owner, nullptr, &dacl, nullptr, descriptor.Put()),
                  static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_TRUE(IsSid(owner, WinLocalSystemSid)) << "owned by the system";
        ASSERT_NE(dacl, nullptr) << "a null DACL admits everyone";
        ASSERT_EQ(dacl->AceCount, 4);
        const WELL_KNOWN_SID_TYPE trustees[] = {WinLocalSystemSid, WinBuiltinAdministratorsSid, WinInteractiveSid,
                                                WinAuthenticatedUserSid};
        for (DWORD i = 0; i < 4; ++i) {
            void* entry = nullptr;
            ASSERT_TRUE(GetAce(dacl, i, &entry));
            const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
            EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << i;
            EXPECT_TRUE(IsSid(&ace->SidStart, trustees[i])) << i;
            if (i < 2)
                EXPECT_TRUE((ace->Mask & (GENERIC_ALL | WRITE_DAC)) != 0) << i;
            else
                EXPECT_EQ(ace->Mask, object.userAccess) << i;
        }
    }
}

// A user who owns the block mutex holds up neither a request nor the stop: the
// request it signalled is dropped and the stop ends within the host's wait hint.
TEST_F(RobustService, AHeldBlockMutexDropsTheRequestAndNeverHoldsUpTheStop)
{
    ScopedProductValues restore;
    OpenTestRecord();
    const std::wstring dropped = RecordName(0);
    KernelHandle mutex(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, CMMFData(kRequestBlockName).GetBlockMutexName()));
    KernelHandle mapping(OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, kRequestBlockName));
    MappedView view(mapping ? MapViewOfFile(mapping.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0) : nullptr);
    KernelHandle request(OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, kRequestEvent));
    ASSERT_TRUE(mutex && view && request);
    ASSERT_EQ(WaitForSingleObject(mutex.Get(), 5000), WAIT_OBJECT_0);
    const TALO_REQUEST held = RegistryRequest(REQ_SET_STRING, kDeviceListKey, dropped, 0, L"held");
    std::memcpy(view.Get(), &held, sizeof(held));
    SetEvent(request.Get());
    Sleep(kBlockCopyWaitMs + 1000);
    const DWORD start = GetTickCount();
    EXPECT_EQ(RunCommand(L"sc.exe stop " + std::wstring(kServiceName)), 0u);
    EXPECT_TRUE(AwaitServiceState(SERVICE_STOPPED, 15000)) << "stopped within the wait hint";
    std::cout << "stop with the block mutex held: " << GetTickCount() - start << " ms\n";
    ReleaseMutex(mutex.Get());
    std::wstring text;
    EXPECT_FALSE(ReadMachineString(kDeviceListKey, dropped, &text) && text == L"held") << "the request was carried out";
    ASSERT_TRUE(StartInstalledService());
    EXPECT_TRUE(OwnReplyWritten(1, L"after the held mutex"));
}

// A handle of the instance mutex kept across a restart does not block the start;
// a channel name taken while the service is down fails it, visibly to the SCM.
TEST_F(RobustService, ALeftoverHandleNeverBlocksTheStartAndATakenNameFailsIt)
{
    ScopedProductValues restore;
    OpenTestRecord();
    {
        KernelHandle leftover(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kServiceInstanceMutex));
        ASSERT_TRUE(leftover);
        ASSERT_EQ(RunCommand(L"sc.exe stop " + std::wstring(kServiceName)), 0u);
        ASSERT_TRUE(AwaitServiceState(SERVICE_STOPPED, 20000));
        EXPECT_TRUE(StartInstalledService()) << "with a leftover handle of the instance mutex";
        EXPECT_TRUE(OwnReplyWritten(0, L"after the leftover"));
    }
    struct Squat {
        const char* what;
        std::function<KernelHandle()> take;
    };
    const Squat squats[] = {
        {"request event as a mutex", [] { return KernelHandle(CreateMutexW(nullptr, FALSE, kRequestEvent)); }},
        {"completion event as a mutex", [] { return KernelHandle(CreateMutexW(nullptr, FALSE, kCompletionEvent)); }},
        {"transaction mutex as an event",
         [] { return KernelHandle(CreateEventW(nullptr, TRUE, FALSE, kTransactionMutex)); }},
        {"block mutex as an event",
         [] { return KernelHandle(CreateEventW(nullptr, TRUE, FALSE, CMMFData(kRequestBlockName).GetBlockMutexName())); }},
        {"instance mutex owned by a user",
         [] {
             KernelHandle taken(CreateMutexW(nullptr, TRUE, kServiceInstanceMutex));
             return taken;
         }},
        {"request event denying the system",
         [] {
             LocalMemory descriptor;
             ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;GA;;;SY)(D;;GA;;;BA)(A;;GA;;;WD)",
                                                                  SDDL_REVISION_1, descriptor.Put(), nullptr);
             SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.Get(), FALSE};
             return KernelHandle(CreateEventW(&attributes, TRUE, FALSE, kRequestEvent));
         }},
    };
    for (const Squat& squat : squats) {
        SCOPED_TRACE(squat.what);
        ASSERT_EQ(RunCommand(L"sc.exe stop " + std::wstring(kServiceName)), 0u);
        ASSERT_TRUE(AwaitServiceState(SERVICE_STOPPED, 20000));
        {
            KernelHandle squatter = squat.take();
            ASSERT_TRUE(squatter);
            RunCommand(L"sc.exe start " + std::wstring(kServiceName));
            DWORD code = 0;
            for (int i = 0; i < 200 && (code = ServiceSpecificExitCode()) == 0; ++i)
                Sleep(100);
            EXPECT_EQ(ServiceState(), static_cast<DWORD>(SERVICE_STOPPED)) << "the start failed";
            EXPECT_TRUE(code == 2 || code == 3) << code;
            EXPECT_EQ(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 0), false);
        }
        ASSERT_TRUE(StartInstalledService());
    }
}
