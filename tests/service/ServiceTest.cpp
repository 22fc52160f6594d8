#include "service/wnp/ServiceLifeCycle.h"

#include "foundation/CEvent.h"
#include "foundation/CMMFData.h"
#include "foundation/CSynchronizer.h"
#include "foundation/Names.h"
#include "service/host/HostedService.h"
#include "service/ipc/RequestClient.h"
#include "service/ipc/RequestFields.h"
#include "sim/SimNotebook.h"
#include "tests/service/ProductValues.h"
#include "tests/service/TestRequests.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedSimMachine.h"
#include "tests/support/UniqueName.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cstring>
#include <memory>
#include <string>

// The switching service run inside the test program: Startup as the logon
// process calls it, WM_CLOSE as the host sends it.

namespace {

constexpr DWORD kStartWaitMs = 5000;
constexpr DWORD kStopWaitMs = 10000;

bool BlockExists()
{
    return KernelHandle(OpenFileMappingW(FILE_MAP_READ, FALSE, kRequestBlockName)).IsValid();
}

int ThreadsOfThisProcess()
{
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    return count;
}

// WM_CLOSE as the host sends it; true once the window's thread has ended.
bool StopService(HWND window)
{
    KernelHandle thread(OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(window, nullptr)));
    return thread && PostMessageW(window, WM_CLOSE, 0, 0) &&
           WaitForSingleObject(thread.Get(), kStopWaitMs) == WAIT_OBJECT_0;
}

// Calls Startup on a thread that lives until the object ends, as the host's
// service thread does: that thread owns the instance mutex, whose abandonment
// tells waiting clients that the service is gone.
class StartupThread {
public:
    StartupThread() : end_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), up_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        thread_.Reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
        WaitForSingleObject(up_.Get(), INFINITE);
    }
    // The thread ends, and the guard's handle is closed as at the library's unload.
    ~StartupThread()
    {
        SetEvent(end_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
        g_instanceGuard.Close();
    }
    StartupThread(const StartupThread&) = delete;
    StartupThread& operator=(const StartupThread&) = delete;

    // Startup's last error: 0 when it started the service.
    DWORD Refused() const { return refused_; }

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* thread = static_cast<StartupThread*>(self);
        Startup(nullptr);
        thread->refused_ = GetLastError();
        SetEvent(thread->up_.Get());
        WaitForSingleObject(thread->end_.Get(), INFINITE);
        return 0;
    }

    KernelHandle end_;
    KernelHandle up_;
    KernelHandle thread_;
    DWORD refused_ = 0;
};

// Exit code 1 when Startup in this child process started a service of its own.
const ChildRole kStartup(L"startup", [](const std::vector<std::wstring>&) {
    Startup(nullptr);
    return AwaitServiceWindow(1000) ? 1 : 0;
});

class InProcessService : public testing::Test {
protected:
    void SetUp() override
    {
        if (BlockExists())
            GTEST_SKIP() << "a switching service runs on this machine";
        threadsBefore_ = ThreadsOfThisProcess();
        Start();
    }

    void TearDown() override
    {
        if (window_) {
            EXPECT_TRUE(StopService(window_));
        }
        host_.reset();
    }

    void Start()
    {
        host_.reset(); // a service started before has stopped: its thread ends
        host_ = std::make_unique<StartupThread>();
        window_ = AwaitServiceWindow(kStartWaitMs);
        ASSERT_TRUE(window_);
    }

    std::unique_ptr<StartupThread> host_;
    HWND window_ = nullptr;
    int threadsBefore_ = 0;
};

} // namespace

TEST_F(InProcessService, WritesTheValuesOfTheSystemsOwnPrograms)
{
    ScopedSimMachine machine; // a WLAN adapter whose hardware ID may be registered
    CSimNotebook notebook;
    ASSERT_EQ(SeedDemoNotebook(notebook), 1);
    ScopedProductValues restore;
    const std::wstring name = OpenTestRecord(L"_DeviceName");
    EXPECT_TRUE(RequestSetString(kDeviceListKey, name.c_str(), L"802.11n Wireless LAN Adapter"));
    EXPECT_TRUE(RequestSetString(kDeviceListKey, OpenTestRecord(L"_Class").c_str(), L"Net"));
    EXPECT_TRUE(RequestSetString(kDeviceListKey, OpenTestRecord(L"_HwId").c_str(), kWlanAdapter));
    EXPECT_TRUE(RequestSetDWord(L"software\\korvath\\airvane\\device", kDeviceNumValue, kMostDeviceRecords));
    EXPECT_TRUE(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 1));
    std::wstring text;
    DWORD number = 0;
    EXPECT_TRUE(ReadMachineString(kDeviceListKey, name, &text));
    EXPECT_EQ(text, L"802.11n Wireless LAN Adapter");
    EXPECT_TRUE(ReadMachineDWord(kDeviceListKey, kDeviceNumValue, &number));
    EXPECT_EQ(number, static_cast<DWORD>(kMostDeviceRecords));
    EXPECT_TRUE(ReadMachineDWord(kCompanionFlagKey, kCompanionFlagValue, &number));
    EXPECT_EQ(number, 1u);

    const std::wstring elsewhere = L"SOFTWARE\\AirvaneTests\\" + UniqueName(L"Forbidden");
    EXPECT_FALSE(RequestSetDWord(elsewhere.c_str(), L"Value", 1));
    EXPECT_FALSE(MachineKeyExists(elsewhere));
}

// A key of the machine replaced by a registry link, as a user could plant it
// where a key is missing; deleted as a link, not as what it points to.
class RegistryLink {
public:
    RegistryLink(const wchar_t* path, const std::wstring& target)
    {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, key_.Put(), nullptr);
        const std::wstring link = L"\\Registry\\Machine\\" + target;
        made_ = key_ && RegSetValueExW(key_.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                                       reinterpret_cast<const BYTE*>(link.data()),
                                       static_cast<DWORD>(link.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~RegistryLink()
    {
        using DeleteKey = LONG(WINAPI*)(HANDLE);
        const auto deleteKey =
            reinterpret_cast<DeleteKey>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
        if (key_ && deleteKey)
            deleteKey(key_.Get());
    }
    RegistryLink(const RegistryLink&) = delete;
    RegistryLink& operator=(const RegistryLink&) = delete;

    bool Made() const { return made_; }

private:
    RegKey key_;
    bool made_ = false;
};

TEST_F(InProcessService, WritesNoValueThroughARegistryLink)
{
    ScopedProductValues restore;
    // The link points to an existing key, such as one the system starts programs from.
    const std::wstring target = L"SOFTWARE\\AirvaneTests\\" + UniqueName(L"LinkTarget");
    RegKey targetKey;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, target.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              targetKey.Put(), nullptr),
              ERROR_SUCCESS);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kCompanionFlagKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kCompanionFlagKey);
    {
        const RegistryLink link(kCompanionFlagKey, target);
        ASSERT_TRUE(link.Made());
        EXPECT_FALSE(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 1));
        EXPECT_NE(RegQueryValueExW(targetKey.Get(), kCompanionFlagValue, nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS)
            << "written through the link";
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, target.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, target.c_str());
    EXPECT_TRUE(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 1)) << "the key itself, once the link is gone";
}

TEST_F(InProcessService, UnknownCodesAreAnsweredWithTheRequestUnchanged)
{
    for (const DWORD code : {0u, 6u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(code);
        const TALO_REQUEST request = PatternRequest(code, code);
        TALO_REQUEST reply = request;
        SendRequest(reply);
        EXPECT_TRUE(SameBytes(reply, request));
    }
}

TEST_F(InProcessService, FieldsWithoutTheirTerminatorAreRefused)
{
    ScopedProductValues restore;
    TALO_REQUEST text = PatternRequest(REQ_SET_STRING, 1);
    CopyToField(text.Body.Registry.KeyPath, kDeviceListKey);
    // A record of this process's own, which no earlier test can have left behind.
    const std::wstring record = std::to_wstring(TestRecordIndex(0)) + L"_Class";
    CopyToField(text.Body.Registry.ValueName, record.c_str()); // the text field has no terminator
    SendRequest(text);
    EXPECT_EQ(text.Result, -1);
    std::wstring value;
    EXPECT_FALSE(ReadMachineString(kDeviceListKey, record, &value)) << "written: " << value.size();

    TALO_REQUEST device = PatternRequest(REQ_DISABLE_DEVICE, 2);
    SendRequest(device);
    EXPECT_EQ(device.Result, 1);
}

// No text file lies beside the test program: only registered adapters are managed here.
TEST_F(InProcessService, SwitchesRegisteredAdaptersAndEjectsOnTheSimulatedNotebook)
{
    ScopedSimMachine machine;
    CSimNotebook notebook;
    ASSERT_EQ(SeedDemoNotebook(notebook), 1);
    ScopedProductValues restore;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceListKey);
    EXPECT_EQ(RequestDisableDevice(L"Net", kWlanAdapter), 1) << "not registered yet";
    EXPECT_FALSE(SimulatedDevice(kWlanAdapter).Disabled());

    ASSERT_TRUE(RequestSetString(kDeviceListKey, L"0_DeviceName", L"Wireless"));
    ASSERT_TRUE(RequestSetString(kDeviceListKey, L"0_Class", L"Net"));
    ASSERT_TRUE(RequestSetString(kDeviceListKey, L"0_HwId", kWlanAdapter));
    ASSERT_TRUE(RequestSetDWord(kDeviceListKey, kDeviceNumValue, 1));
    EXPECT_EQ(RequestDisableDevice(L"Net", kWlanAdapter), 0);
    EXPECT_TRUE(SimulatedDevice(kWlanAdapter).Disabled());
    EXPECT_EQ(RequestEnableDevice(L"Net", kWlanAdapter), 0);
    EXPECT_FALSE(SimulatedDevice(kWlanAdapter).Disabled());

    EXPECT_EQ(RequestDisableDevice(L"Net", kEthernetAdapter), 1);
    EXPECT_EQ(RequestDisableDevice(L"Net", L""), 1);
    EXPECT_FALSE(SimulatedDevice(kEthernetAdapter).Disabled());

    notebook.SetFailures(SimulatedDevice(kWlanAdapter).number, simfail::kClassInstaller);
    EXPECT_EQ(RequestDisableDevice(L"Net", kWlanAdapter), 1) << "the installer refused";

    TALO_REQUEST eject = NewRequest(REQ_EJECT_MEDIA);
    SendRequest(eject);
    EXPECT_EQ(eject.Result, 0);
    EXPECT_FALSE(SimulatedDevice(kCdrom).present);
    SendRequest(eject);
    EXPECT_EQ(eject.Result, 3) << "no drive left";
}

TEST_F(InProcessService, StopsWhenIdleAndThenAnswersNobody)
{
    ASSERT_TRUE(StopService(window_));
    window_ = nullptr;
    EXPECT_FALSE(BlockExists());
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore_ + 1) << "the worker still waits"; // + the host's thread
    const DWORD start = GetTickCount();
    EXPECT_FALSE(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 1));
    EXPECT_LT(GetTickCount() - start, 1000u);

    Start(); // and starts again in the same process
    EXPECT_TRUE(BlockExists());
}

TEST_F(InProcessService, StopsWhileARequestIsCarriedOut)
{
    ScopedProductValues restore;
    const TALO_REQUEST request = RegistryRequest(REQ_SET_DWORD, kCompanionFlagKey, kCompanionFlagValue, 1);
    CEvent requestEvent(kRequestEvent, TRUE, FALSE, 0, 0);
    CEvent completionEvent(kCompletionEvent, TRUE, FALSE, 0, 0);
    ASSERT_TRUE(requestEvent.IsObtained() && completionEvent.IsObtained());
    KernelHandle thread(OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(window_, nullptr)));
    ASSERT_TRUE(thread);
    {
        // Holding the block mutex, write and signal the request: the worker then
        // waits inside the request for the mutex while the stop begins.
        CSynchronizer lock(CMMFData(kRequestBlockName).GetBlockMutexName(), 1, INFINITE);
        KernelHandle mapping(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kRequestBlockName));
        MappedView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        ASSERT_TRUE(view);
        std::memcpy(view.Get(), &request, sizeof(request));
        SetEvent(requestEvent.GetHandle());
        Sleep(100);
        ASSERT_TRUE(PostMessageW(window_, WM_CLOSE, 0, 0));
        Sleep(100);
    }
    EXPECT_EQ(WaitForSingleObject(thread.Get(), kStopWaitMs), WAIT_OBJECT_0) << "the stop did not end";
    window_ = nullptr;
    DWORD flag = 0;
    EXPECT_TRUE(ReadMachineDWord(kCompanionFlagKey, kCompanionFlagValue, &flag)) << "the request was dropped";
    EXPECT_EQ(flag, 1u);
    EXPECT_EQ(WaitForSingleObject(completionEvent.GetHandle(), 0), WAIT_OBJECT_0) << "the client was not answered";
    EXPECT_EQ(WaitForSingleObject(requestEvent.GetHandle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_FALSE(BlockExists());
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore_ + 1) << "the worker still waits"; // + the host's thread
}

// A service that could answer nobody does not start: it says why, and leaves no block.
TEST(ServiceStartup, RefusesWhenAChannelNameIsTaken)
{
    if (BlockExists())
        GTEST_SKIP() << "a switching service runs on this machine";
    ScopedProductValues restore;
    for (const wchar_t* name : {kRequestEvent, kCompletionEvent}) {
        KernelHandle squatter(CreateMutexW(nullptr, FALSE, name)); // the event cannot be created
        ASSERT_TRUE(squatter);
        StartupThread host;
        EXPECT_EQ(host.Refused(), kStartupNameTaken);
        EXPECT_EQ(FindServiceWindow(), nullptr);
        EXPECT_FALSE(BlockExists());
        EXPECT_FALSE(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 1));
    }
}

// A handle of the instance mutex that outlived its service is no other instance.
TEST(ServiceStartup, ALeftoverInstanceHandleDoesNotBlockTheStart)
{
    if (BlockExists())
        GTEST_SKIP() << "a switching service runs on this machine";
    ScopedProductValues restore;
    KernelHandle leftover;
    {
        StartupThread host;
        const HWND window = AwaitServiceWindow(kStartWaitMs);
        ASSERT_TRUE(window);
        leftover.Reset(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kServiceInstanceMutex));
        ASSERT_TRUE(leftover);
        EXPECT_TRUE(StopService(window));
    }
    StartupThread host;
    EXPECT_EQ(host.Refused(), 0u);
    const HWND window = AwaitServiceWindow(kStartWaitMs);
    ASSERT_TRUE(window);
    EXPECT_TRUE(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 0));
    EXPECT_TRUE(StopService(window));
}

TEST(ServiceStartup, StartsOneInstanceOnTheMachine)
{
    if (BlockExists())
        GTEST_SKIP() << "a switching service runs on this machine";
    ScopedProductValues restore;
    g_instanceGuard.Close(); // this process's earlier services have stopped
    EXPECT_EQ(RunChild(L"startup", {}), 1u);

    StartupThread host;
    const HWND window = AwaitServiceWindow(kStartWaitMs);
    ASSERT_TRUE(window);
    EXPECT_EQ(RunChild(L"startup", {}), 0u);
    EXPECT_TRUE(RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 0)) << "this service still answers";
    EXPECT_TRUE(StopService(window));
}
