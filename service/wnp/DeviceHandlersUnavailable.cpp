#include "service/wnp/RequestHandlers.h"

// Until the device control is built in: every device request fails.
void HandleEnableDevice(TALO_REQUEST& request)
{
    request.Result = 1;
}

void HandleDisableDevice(TALO_REQUEST& request)
{
    request.Result = 1;
}

void HandleEjectMedia(TALO_REQUEST& request)
{
    request.Result = 3;
}
