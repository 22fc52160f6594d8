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

// The device list as a write to it finds it, read by the caller (the service
// reads HKEY_LOCAL_MACHINE; the tests pass lists of their own).
class CStoredDeviceList {
public:
    virtual ~CStoredDeviceList() = default;
    // "DeviceNum"; 0 when it is missing.
    virtual DWORD Count() const = 0;
    // The text of a REG_SZ value; false when the value is missing or of another type.
    virtual bool Text(const std::wstring& valueName, std::wstring& text) const = 0;
};

// For a request that IsPermittedRegistryRequest passes: whether it keeps the device
// list whole. A record value may be written for the next record (its index is
// "DeviceNum") or rewritten with the text it holds; "DeviceNum" may only go up by
// one, once the three values of the record it adds exist, and to at most
// kMostDeviceRecords. Requests to the companion flag pass.
bool IsAllowedDeviceListWrite(const TALO_REQUEST& request, const CStoredDeviceList& list);

// REQ_ENABLE_DEVICE and REQ_DISABLE_DEVICE: both fields terminated, and a device the policy permits.
bool IsPermittedDeviceRequest(const TALO_REQUEST& request, const CDevicePolicy& policy);

// The index of a device-list value name "<index><suffix>" (such as "3_HwId"),
// a decimal int without leading zeros; -1 when the name is not of that form.
long long DeviceRecordIndex(const wchar_t* valueName, const wchar_t* suffix);
