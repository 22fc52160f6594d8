#include "service/ipc/RequestClient.h"

#include "foundation/CEvent.h"
#include "foundation/CMMFData.h"
#include "foundation/ServiceObjects.h"
#include "foundation/Names.h"
#include "service/ipc/RequestFields.h"
#include "tests/service/TestRequests.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// The service's side of the exchange, played on a thread of the test that
// owns the service's instance mutex, as the service's host thread does: it
// answers a SET_DWORD with its number as the result and anything else with 0.
// Its answers can be held back, to see what a client does meanwhile, garbled,
// or never given because the service ends.
class FakeService {
public:
    FakeService()
        : request_(kRequestEvent, TRUE, FALSE, 0, 0), completion_(kCompletionEvent, TRUE, FALSE, 0, 0),
          stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), gate_(CreateEventW(nullptr, TRUE, TRUE, nullptr)),
          up_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        EXPECT_EQ(block_.CreateBlock(kRequestBlockSize), 1);
        thread_ = std::thread([this] { Serve(); });
        WaitForSingleObject(up_.Get(), INFINITE);
    }
    ~FakeService()
    {
        SetEvent(gate_.Get());
        SetEvent(stop_.Get());
        if (thread_.joinable())
            thread_.join();
    }

    void HoldAnswers() { ResetEvent(gate_.Get()); }
    void ReleaseAnswers() { SetEvent(gate_.Get()); }
    // The next answers carry another number than the request's.
    void GarbleAnswers(int count) { garbled_ = count; }
    // The held request is never answered: the serving thread ends with it.
    void EndWithoutAnswering()
    {
        vanish_ = true;
        ReleaseAnswers();
        thread_.join();
    }

    std::vector<TALO_REQUEST> Received()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }

    bool AwaitReceived(size_t count)
    {
        for (int i = 0; i < 500; ++i, Sleep(10)) {
            if (Received().size() >= count)
                return true;
        }
        return false;
    }

private:
    void Serve()
    {
        KernelHandle instance(CreateMutexW(nullptr, TRUE, kServiceInstanceMutex));
        EXPECT_TRUE(instance);
        WaitForSingleObject(instance.Get(), INFINITE); // owned also when an ended service's handle kept it
        SetEvent(up_.Get());
        const HANDLE wakeUps[] = {stop_.Get(), request_.GetHandle()};
        while (WaitForMultipleObjects(2, wakeUps, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            TALO_REQUEST request;
            ASSERT_EQ(block_.ReadBlock(&request, sizeof(request)), 1);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                received_.push_back(request);
            }
            WaitForSingleObject(gate_.Get(), INFINITE);
            if (vanish_)
                return;
            request.Result = request.Code == REQ_SET_DWORD ? static_cast<LONG>(request.Body.Registry.Data.Number) : 0;
            if (garbled_ > 0) {
                --garbled_;
                request.Body.Registry.Data.Number += 1000;
            }
            block_.WriteBlock(&request, sizeof(request));
            ResetEvent(request_.GetHandle());
            SetEvent(completion_.GetHandle());
        }
    }

    CMMFData block_{kRequestBlockName};
    CEvent request_;
    CEvent completion_;
    KernelHandle transaction_ = CreateServiceMutex(kTransactionMutex).handle; // clients only open it
    KernelHandle stop_;
    KernelHandle gate_;
    KernelHandle up_;
    std::atomic<bool> vanish_{false};
    std::atomic<int> garbled_{0};
    std::mutex mutex_;
    std::vector<TALO_REQUEST> received_;
    std::thread thread_;
};

TALO_REQUEST NumberRequest(DWORD number)
{
    return RegistryRequest(REQ_SET_DWORD, kDeviceListKey, kDeviceNumValue, number);
}

bool Exists(const char* kind, HANDLE handle)
{
    KernelHandle owned(handle);
    EXPECT_TRUE(owned || GetLastError() == ERROR_FILE_NOT_FOUND) << kind << ": error " << GetLastError();
    return owned.IsValid();
}

class RequestClient : public testing::Test {
protected:
    void SetUp() override
    {
        if (KernelHandle block(OpenFileMappingW(FILE_MAP_READ, FALSE, kRequestBlockName)); block)
            GTEST_SKIP() << "a switching service runs on this machine";
    }
};

} // namespace

TEST_F(RequestClient, WithoutServiceEveryRequestFailsAtOnceAndLeavesNothingBehind)
{
    const DWORD start = GetTickCount();
    EXPECT_FALSE(RequestSetDWord(kDeviceListKey, kDeviceNumValue, 1));
    EXPECT_FALSE(RequestSetString(kDeviceListKey, L"0_Class", L"Net"));
    EXPECT_EQ(RequestEnableDevice(L"Net", L"PCI"), -1);
    EXPECT_EQ(RequestDisableDevice(L"Net", nullptr), -1);
    TALO_REQUEST request = NumberRequest(1);
    request.Result = 5;
    SendRequest(request);
    EXPECT_EQ(request.Result, -1);
    EXPECT_LT(GetTickCount() - start, 1000u);

    EXPECT_FALSE(Exists("transaction mutex", OpenMutexW(SYNCHRONIZE, FALSE, kTransactionMutex)));
    EXPECT_FALSE(Exists("block mutex", OpenMutexW(SYNCHRONIZE, FALSE, CMMFData(kRequestBlockName).GetBlockMutexName())));
    EXPECT_FALSE(Exists("request event", OpenEventW(SYNCHRONIZE, FALSE, kRequestEvent)));
    EXPECT_FALSE(Exists("completion event", OpenEventW(SYNCHRONIZE, FALSE, kCompletionEvent)));
    EXPECT_FALSE(Exists("block", OpenFileMappingW(FILE_MAP_READ, FALSE, kRequestBlockName)));
}

TEST_F(RequestClient, WrappersSendZeroedBlocksWithTheirFieldsAndReadTheResult)
{
    FakeService service;
    EXPECT_TRUE(RequestSetDWord(L"Key", L"Value", 0));
    EXPECT_FALSE(RequestSetDWord(L"Key", L"Value", 1)) << "answered 1";
    EXPECT_TRUE(RequestSetString(L"Key", L"Value", L"Text"));
    EXPECT_EQ(RequestEnableDevice(L"Class", L"Prefix"), 0);
    EXPECT_EQ(RequestDisableDevice(L"Class", nullptr), 0);

    const TALO_REQUEST expected[] = {
        RegistryRequest(REQ_SET_DWORD, L"Key", L"Value", 0),
        RegistryRequest(REQ_SET_DWORD, L"Key", L"Value", 1),
        RegistryRequest(REQ_SET_STRING, L"Key", L"Value", 0, L"Text"),
        DeviceRequest(REQ_ENABLE_DEVICE, L"Class", L"Prefix"),
        DeviceRequest(REQ_DISABLE_DEVICE, L"Class", L""),
    };
    const std::vector<TALO_REQUEST> received = service.Received();
    ASSERT_EQ(received.size(), std::size(expected));
    for (size_t i = 0; i < received.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(SameBytes(received[i], expected[i]));
    }
}

TEST_F(RequestClient, StringsThatDoNotFitTheirFieldsAreNotSent)
{
    FakeService service;
    const std::wstring key(255, L'k'), value(63, L'v'), text(255, L't'), className(127, L'c'), prefix(447, L'p');
    const auto longer = [](const std::wstring& s) { return s + L"x"; };

    EXPECT_FALSE(RequestSetDWord(longer(key).c_str(), value.c_str(), 0));
    EXPECT_FALSE(RequestSetDWord(key.c_str(), longer(value).c_str(), 0));
    EXPECT_FALSE(RequestSetString(key.c_str(), value.c_str(), longer(text).c_str()));
    EXPECT_FALSE(RequestSetString(nullptr, value.c_str(), text.c_str()));
    EXPECT_EQ(RequestEnableDevice(longer(className).c_str(), prefix.c_str()), 1);
    EXPECT_EQ(RequestDisableDevice(className.c_str(), longer(prefix).c_str()), 1);
    EXPECT_EQ(RequestEnableDevice(nullptr, prefix.c_str()), 1);
    EXPECT_TRUE(service.Received().empty());

    EXPECT_TRUE(RequestSetDWord(key.c_str(), value.c_str(), 0));
    EXPECT_TRUE(RequestSetString(key.c_str(), value.c_str(), text.c_str()));
    EXPECT_EQ(RequestEnableDevice(className.c_str(), prefix.c_str()), 0);
    const std::vector<TALO_REQUEST> received = service.Received();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(FieldLength(received[1].Body.Registry.Data.Text), 255u);
    EXPECT_EQ(FieldLength(received[2].Body.Device.HwIdPrefix), 447u);
}

TEST_F(RequestClient, ACompletionLeftSetByADeadClientIsNotTakenAsTheAnswer)
{
    FakeService service;
    service.HoldAnswers();
    KernelHandle completion(OpenEventW(EVENT_MODIFY_STATE, FALSE, kCompletionEvent));
    ASSERT_TRUE(completion);
    SetEvent(completion.Get()); // as left by a client that ended before resetting it

    std::atomic<bool> returned{false};
    TALO_REQUEST reply = NumberRequest(42);
    std::thread client([&] {
        SendRequest(reply);
        returned = true;
    });
    ASSERT_TRUE(service.AwaitReceived(1));
    Sleep(200);
    EXPECT_FALSE(returned) << "the client took the old completion for its answer";
    service.ReleaseAnswers();
    client.join();
    EXPECT_EQ(reply.Result, 42);
}

TEST_F(RequestClient, ARequestADeadClientLeftIsAnsweredBeforeTheNextIsWritten)
{
    FakeService service;
    service.HoldAnswers();
    // A client that takes the transaction, writes and signals its request, and
    // ends without releasing anything: its ownership of the mutex is abandoned.
    KernelHandle transaction;
    std::thread dead([&transaction] {
        transaction.Reset(CreateMutexW(nullptr, FALSE, kTransactionMutex));
        WaitForSingleObject(transaction.Get(), INFINITE);
        KernelHandle request(OpenEventW(EVENT_MODIFY_STATE, FALSE, kRequestEvent));
        const TALO_REQUEST abandoned = NumberRequest(7);
        CMMFData(kRequestBlockName).WriteBlockAndSignal(&abandoned, sizeof(abandoned), request.Get());
    });
    dead.join();
    ASSERT_TRUE(service.AwaitReceived(1));

    TALO_REQUEST reply = NumberRequest(42);
    std::thread next([&] { SendRequest(reply); });
    Sleep(200);
    TALO_REQUEST inBlock;
    ASSERT_EQ(CMMFData(kRequestBlockName).ReadBlock(&inBlock, sizeof(inBlock)), 1);
    EXPECT_EQ(inBlock.Body.Registry.Data.Number, 7u) << "written while the service still worked on the last request";
    service.ReleaseAnswers();
    next.join();

    EXPECT_EQ(reply.Result, 42);
    const std::vector<TALO_REQUEST> received = service.Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].Body.Registry.Data.Number, 7u);
    EXPECT_EQ(received[1].Body.Registry.Data.Number, 42u);
}

TEST_F(RequestClient, WithoutBothEventsNothingIsSent)
{
    for (const wchar_t* squatted : {kRequestEvent, kCompletionEvent}) {
        SCOPED_TRACE(squatted == kRequestEvent ? "request event" : "completion event");
        CMMFData service(kRequestBlockName);
        ASSERT_EQ(service.CreateBlock(kRequestBlockSize), 1);
        KernelHandle transaction = CreateServiceMutex(kTransactionMutex).handle;
        KernelHandle instance(CreateMutexW(nullptr, TRUE, kServiceInstanceMutex));
        // A mutex of the event's name: the events cannot be created or opened.
        KernelHandle squatter(CreateMutexW(nullptr, FALSE, squatted));
        ASSERT_TRUE(squatter);

        EXPECT_FALSE(RequestSetDWord(kDeviceListKey, kDeviceNumValue, 0));
        TALO_REQUEST inBlock;
        ASSERT_EQ(service.ReadBlock(&inBlock, sizeof(inBlock)), 1);
        EXPECT_TRUE(SameBytes(inBlock, TALO_REQUEST{})) << "the block was written";
    }
}

TEST_F(RequestClient, WithoutTheServicesInstanceMutexNothingIsSent)
{
    CMMFData block(kRequestBlockName);
    ASSERT_EQ(block.CreateBlock(kRequestBlockSize), 1);
    KernelHandle transaction = CreateServiceMutex(kTransactionMutex).handle;
    CEvent request(kRequestEvent, TRUE, FALSE, 0, 0);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(RequestSetDWord(kDeviceListKey, kDeviceNumValue, 0));
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(WaitForSingleObject(request.GetHandle(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "signalled";
}

TEST_F(RequestClient, AClientWaitingForAServiceThatEndsGetsMinusOne)
{
    FakeService service;
    service.HoldAnswers();
    std::atomic<bool> returned{false};
    TALO_REQUEST reply = NumberRequest(42);
    std::thread client([&] {
        SendRequest(reply);
        returned = true;
    });
    ASSERT_TRUE(service.AwaitReceived(1));
    KernelHandle instance(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kServiceInstanceMutex));
    ASSERT_TRUE(instance);
    Sleep(100);
    EXPECT_FALSE(returned);
    service.EndWithoutAnswering();
    client.join();
    EXPECT_EQ(reply.Result, -1);

    // The client took the abandoned mutex and gave it back: free, no longer abandoned.
    EXPECT_EQ(WaitForSingleObject(instance.Get(), 0), WAIT_OBJECT_0);
    ReleaseMutex(instance.Get());
}

TEST_F(RequestClient, AReplyThatIsNotTheRequestsOwnIsSentAgain)
{
    FakeService service;
    service.GarbleAnswers(3);
    TALO_REQUEST reply = NumberRequest(42);
    SendRequest(reply);
    EXPECT_EQ(reply.Result, 42);
    EXPECT_TRUE(SameBytes(reply, [] {
        TALO_REQUEST expected = NumberRequest(42);
        expected.Result = 42;
        return expected;
    }()));
    EXPECT_EQ(service.Received().size(), 4u);

    service.GarbleAnswers(1000); // never its own: given up after a bounded number of tries
    EXPECT_FALSE(RequestSetDWord(kDeviceListKey, kDeviceNumValue, 0));
    EXPECT_LT(service.Received().size(), 4u + 1000u);
}
