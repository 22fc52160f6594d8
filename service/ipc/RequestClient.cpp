#include "service/ipc/RequestClient.h"

#include "foundation/CMMFData.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "foundation/ObjectSecurity.h"
#include "service/ipc/RequestFields.h"

#include <cstddef>
#include <cstring>

namespace {

// A reply that is not the request's own (another process wrote into the block
// or woke the service meanwhile) sends the request again, this many times in all.
constexpr int kAttempts = 64;

// The service created every object of the channel; a client only opens them,
// with a user's rights. Without them there is no service.
KernelHandle OpenChannelEvent(const wchar_t* name)
{
    return KernelHandle(OpenEventW(kUserEventAccess, FALSE, name));
}

// The transaction mutex, owned for one whole exchange and given back at its end.
class TransactionLock {
public:
    TransactionLock() : mutex_(OpenMutexW(kUserMutexAccess, FALSE, kTransactionMutex))
    {
        const DWORD waited = mutex_ ? WaitForSingleObject(mutex_.Get(), INFINITE) : WAIT_FAILED;
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~TransactionLock()
    {
        if (held_)
            ReleaseMutex(mutex_.Get());
    }
    TransactionLock(const TransactionLock&) = delete;
    TransactionLock& operator=(const TransactionLock&) = delete;

    bool Held() const { return held_; }

private:
    KernelHandle mutex_;
    bool held_ = false;
};

bool IsSet(HANDLE event)
{
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

// Waits until the service has answered the request signalled now, or has
// ended: its instance mutex, owned by the thread that started it, is
// abandoned when that thread or its process ends. False when it ended.
// The service resets the request event after it has written its reply and
// before it sets the completion event, so a completion counts only once the
// request event is clear: one left set by an earlier, abandoned exchange is
// passed over.
bool AwaitAnswer(HANDLE request, HANDLE completion, HANDLE service)
{
    const HANDLE wakeUps[] = {completion, service};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(2, wakeUps, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0) {
            // The mutex is ours now that its owner is gone: give it back at once,
            // so that a service starting anew can take it.
            ReleaseMutex(service);
            return false;
        }
        ResetEvent(completion);
        if (!IsSet(request))
            return true;
    }
}

// A reply is the request's own when every byte but Result is as sent: the
// service writes the whole block back.
bool IsOwnReply(const TALO_REQUEST& reply, const TALO_REQUEST& request)
{
    return std::memcmp(&reply, &request, offsetof(TALO_REQUEST, Result)) == 0;
}

// One exchange; false when the service is not running or ended during it.
bool Exchange(TALO_REQUEST& block)
{
    // Opened before the request is written, so that its end is seen whenever it comes.
    KernelHandle service(OpenMutexW(kUserMutexAccess, FALSE, kServiceInstanceMutex));
    KernelHandle completion = OpenChannelEvent(kCompletionEvent);
    KernelHandle request = OpenChannelEvent(kRequestEvent);
    // A request that could not be signalled or waited for is not sent: the
    // service would answer it into the next client's exchange.
    if (!service || !completion || !request)
        return false;
    // A client that died during its exchange may have left its request with
    // the service; the block is free again only once that one is answered.
    if (IsSet(request.Get()) && !AwaitAnswer(request.Get(), completion.Get(), service.Get()))
        return false;
    ResetEvent(completion.Get());

    CMMFData channel(kRequestBlockName);
    return channel.WriteBlockAndSignal(&block, sizeof(block), request.Get()) &&
           AwaitAnswer(request.Get(), completion.Get(), service.Get()) && channel.ReadBlock(&block, sizeof(block));
}

} // namespace

void SendRequest(TALO_REQUEST& block)
{
    const TransactionLock transaction;
    for (int attempt = 0; transaction.Held() && attempt < kAttempts; ++attempt) {
        TALO_REQUEST reply = block;
        if (!Exchange(reply))
            break;
        if (IsOwnReply(reply, block)) {
            block.Result = reply.Result;
            return;
        }
    }
    block.Result = -1;
}

namespace {

// A request with every byte it does not use zero, and Result -1 until answered.
TALO_REQUEST NewRequest(DWORD code)
{
    TALO_REQUEST request = {};
    request.Code = code;
    request.Result = -1;
    return request;
}

bool FillRegistryRequest(TALO_REQUEST& request, const wchar_t* keyPath, const wchar_t* valueName)
{
    return keyPath && valueName && CopyToField(request.Body.Registry.KeyPath, keyPath) &&
           CopyToField(request.Body.Registry.ValueName, valueName);
}

int SwitchDevice(DWORD code, const wchar_t* className, const wchar_t* hwIdPrefix)
{
    TALO_REQUEST request = NewRequest(code);
    if (!className || !CopyToField(request.Body.Device.ClassName, className) ||
        !CopyToField(request.Body.Device.HwIdPrefix, hwIdPrefix ? hwIdPrefix : L"")) {
        return 1;
    }
    SendRequest(request);
    return request.Result;
}

} // namespace

bool RequestSetDWord(const wchar_t* keyPath, const wchar_t* valueName, DWORD number)
{
    TALO_REQUEST request = NewRequest(REQ_SET_DWORD);
    if (!FillRegistryRequest(request, keyPath, valueName))
        return false;
    request.Body.Registry.Data.Number = number;
    SendRequest(request);
    return request.Result == 0;
}

bool RequestSetString(const wchar_t* keyPath, const wchar_t* valueName, const wchar_t* text)
{
    TALO_REQUEST request = NewRequest(REQ_SET_STRING);
    if (!text || !FillRegistryRequest(request, keyPath, valueName) ||
        !CopyToField(request.Body.Registry.Data.Text, text)) {
        return false;
    }
    SendRequest(request);
    return request.Result == 0;
}

int RequestEnableDevice(const wchar_t* className, const wchar_t* hwIdPrefix)
{
    return SwitchDevice(REQ_ENABLE_DEVICE, className, hwIdPrefix);
}

int RequestDisableDevice(const wchar_t* className, const wchar_t* hwIdPrefix)
{
    return SwitchDevice(REQ_DISABLE_DEVICE, className, hwIdPrefix);
}
