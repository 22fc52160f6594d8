#pragma once

#include "service/ipc/TaloRequest.h"
#include "service/wnp/RequestPolicy.h"

// Whether the network card whose first hardware ID is hwId is a WLAN adapter,
// found as the programs find one: among the "NetworkCards" entries, by the
// WLAN detection, its hardware ID looked up by its description.
bool IsWlanAdapterHwId(const wchar_t* hwId);

// For a write that keeps the device list whole: a hardware ID that a record
// does not hold yet must be a WLAN adapter's, so that no user can widen the
// switching to a wired, virtual or VPN adapter by registering it. Checked when
// the record is written, since the detection finds an adapter only while it
// works, and the programs register one only once they have found it so.
bool IsRegistrableDeviceListWrite(const TALO_REQUEST& request, const CStoredDeviceList& list);
