#include "service/ipc/RequestClient.h"

#include "foundation/CMMFData.h"
#include "foundation/CSynchronizer.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "foundation/ObjectSecurity.h"

namespace {

// Both sides create or open the events alike: manual reset, initially clear, open to everyone.
KernelHandle OpenChannelEvent(const wchar_t* name)
{
    OpenSecurity security;
    return KernelHandle(CreateEventW(security.Attributes(), TRUE, FALSE, name));
}

bool IsSet(HANDLE event)
{
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

// Waits until the service has answered the request signalled now. The service
// resets the request event after it has written its reply and before it sets
// the completion event, so a completion counts only once the request event is
// clear: one left set by an earlier, abandoned exchange is passed over.
void AwaitAnswer(HANDLE request, HANDLE completion)
{
    for (;;) {
        if (WaitForSingleObject(completion, INFINITE) != WAIT_OBJECT_0)
            return;
        ResetEvent(completion);
        if (!IsSet(request))
            return;
    }
}

} // namespace

void SendRequest(TALO_REQUEST& block)
{
    CSynchronizer transaction(kTransactionMutex, 1, INFINITE);
    KernelHandle completion = OpenChannelEvent(kCompletionEvent);
    KernelHandle request = OpenChannelEvent(kRequestEvent);
    // A request that could not be signalled or waited for is not sent: the
    // service would answer it into the next client's exchange.
    if (!completion || !request) {
        block.Result = -1;
        return;
    }
    // A client that died during its exchange may have left its request with
    // the service; the block is free again only once that one is answered.
    if (IsSet(request.Get()))
        AwaitAnswer(request.Get(), completion.Get());
    ResetEvent(completion.Get());

    CMMFData channel(kRequestBlockName);
    if (!channel.WriteBlockAndSignal(&block, sizeof(block), request.Get())) {
        block.Result = -1;
        return;
    }
    AwaitAnswer(request.Get(), completion.Get());
    if (!channel.ReadBlock(&block, sizeof(block)))
        block.Result = -1;
}
