#include "service/wnp/DispatchRequest.h"

#include "service/ipc/TaloRequest.h"
#include "service/wnp/RequestHandlers.h"
#include "service/wnp/ServiceState.h"

void DispatchRequest()
{
    TALO_REQUEST request;
    if (!g_block.ReadBlock(&request, sizeof(request)))
        return;
    switch (request.Code) {
    case REQ_SET_DWORD:
        HandleSetDWord(request);
        break;
    case REQ_SET_STRING:
        HandleSetString(request);
        break;
    case REQ_ENABLE_DEVICE:
        HandleEnableDevice(request);
        break;
    case REQ_DISABLE_DEVICE:
        HandleDisableDevice(request);
        break;
    case REQ_EJECT_MEDIA:
        HandleEjectMedia(request);
        break;
    default:
        break;
    }
    g_block.WriteBlock(&request, sizeof(request));
}
