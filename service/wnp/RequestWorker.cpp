#include "service/wnp/RequestWorker.h"

#include "foundation/CEvent.h"
#include "foundation/Names.h"
#include "service/wnp/DispatchRequest.h"
#include "service/wnp/ServiceState.h"

namespace {

// Dispatches only for a signalled request; the stop comes first when both are
// set, and a failed wait ends the service rather than dispatch.
void ServeRequests(HANDLE request, HANDLE completion)
{
    const HANDLE wakeUps[] = {g_stopFlag.Get(), request};
    while (WaitForMultipleObjects(2, wakeUps, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        DispatchRequest();
        // The reply is in the block before the request event clears: a client
        // takes its completion as its own only once that event is clear.
        ResetEvent(request);
        SetEvent(completion);
    }
}

} // namespace

DWORD WINAPI RequestWorker(void*)
{
    CEvent request(kRequestEvent, TRUE, FALSE, 0, 0);
    CEvent completion(kCompletionEvent, TRUE, FALSE, 0, 0);
    if (request.IsObtained() && completion.IsObtained())
        ServeRequests(request.GetHandle(), completion.GetHandle());
    // Clients signal only together with a write into the block, so once it is
    // closed nobody can signal any more, and this answer reaches every client
    // that still waits: it reads back no block and reports -1.
    g_block.CloseBlock();
    if (request.IsObtained() && completion.IsObtained()) {
        ResetEvent(request.GetHandle());
        SetEvent(completion.GetHandle());
    }
    return 0;
}
