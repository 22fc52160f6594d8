#pragma once

// A client that follows the request exchange up to a step and then ends at
// once: no handle is closed and no ownership released, as when it is killed.

#include "foundation/CMMFData.h"
#include "foundation/Names.h"
#include "service/ipc/TaloRequest.h"

#include <windows.h>

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
[[noreturn]] inline void ExchangeAndDieAt(int step, TALO_REQUEST request)
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
