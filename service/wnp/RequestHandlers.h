#pragma once

#include "service/ipc/TaloRequest.h"

// One handler per request code. Each works on the service's own copy of the
// request and leaves the reply in its Result; a request that the service does
// not carry out for user programs is answered -1 (registry) or 1 (devices)
// with nothing done.
void HandleSetDWord(TALO_REQUEST& request);
void HandleSetString(TALO_REQUEST& request);
void HandleEnableDevice(TALO_REQUEST& request);
void HandleDisableDevice(TALO_REQUEST& request);
void HandleEjectMedia(TALO_REQUEST& request);
