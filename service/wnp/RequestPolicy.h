#pragma once

#include "service/ipc/TaloRequest.h"

#include <string>
#include <utility>
#include <vector>

// What the service does for a user program: it writes only the registry values
// that the system's own programs write, and switches only the devices that the
// system manages. The checks work on the request's bytes alone (no Win32
// calls), so that they can be built and exercised anywhere.

// The devices the system manages: the (class, hardware-ID prefix) pairs that
// the installed text files name, and the hardware IDs of the registered device
// list, which name network adapters.
class CDevicePolicy {
public:
    virtual ~CDevicePolicy() = default;

    void AddNamedDevice(const std::wstring& className, const std::wstring& hwIdPrefix);
    void AddRegisteredHwId(const std::wstring& hwId);

    // A request must name a pair exactly (a shorter prefix selects more devices).
    // Class names and prefixes compare without regard to ASCII letter case, as
    // the device installer compares them.
    bool Permits(const wchar_t* className, const wchar_t* hwIdPrefix) const;

private:
    std::vector<std::pair<std::wstring, std::wstring>> named_;
    std::vector<std::wstring> registered_;
};

// REQ_SET_DWORD and REQ_SET_STRING: every field it uses terminated, and the
// key path, value name and type those of the device list or the companion flag.
bool IsPermittedRegistryRequest(const TALO_REQUEST& request);

// REQ_ENABLE_DEVICE and REQ_DISABLE_DEVICE: both fields terminated, and a device the policy permits.
bool IsPermittedDeviceRequest(const TALO_REQUEST& request, const CDevicePolicy& policy);

// The index of a device-list value name "<index><suffix>" (such as "3_HwId"),
// a decimal int without leading zeros; -1 when the name is not of that form.
long long DeviceRecordIndex(const wchar_t* valueName, const wchar_t* suffix);
