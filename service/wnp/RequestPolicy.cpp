#include "service/wnp/RequestPolicy.h"

#include "foundation/Names.h"
#include "service/ipc/RequestFields.h"

namespace {

constexpr long long kLargestIndex = 2147483647; // records are numbered with "%d"

wchar_t FoldAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualsIgnoringCase(const wchar_t* a, const wchar_t* b)
{
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b))
            return false;
    }
    return *a == *b;
}

constexpr const wchar_t* kRecordValueFormats[] = {kDeviceNameValueFormat, kClassValueFormat, kHwIdValueFormat};

// The record index of one of the three string values of a device-list record, or -1.
long long RecordValueIndex(const wchar_t* valueName)
{
    for (const wchar_t* format : kRecordValueFormats) {
        const long long index = DeviceRecordIndex(valueName, format + 2); // after its "%d"
        if (index >= 0)
            return index;
    }
    return -1;
}

bool IsCompleteRecord(const CStoredDeviceList& list, DWORD index)
{
    std::wstring text;
    for (const wchar_t* format : kRecordValueFormats) {
        if (!list.Text(std::to_wstring(index) + (format + 2), text))
            return false;
    }
    return true;
}

} // namespace

long long DeviceRecordIndex(const wchar_t* valueName, const wchar_t* suffix)
{
    long long index = 0;
    const wchar_t* c = valueName;
    for (; *c >= L'0' && *c <= L'9'; ++c) {
        index = index * 10 + (*c - L'0');
        if (index > kLargestIndex)
            return -1;
    }
    const bool digits = c != valueName;
    const bool leadingZero = *valueName == L'0' && c - valueName > 1;
    return digits && !leadingZero && EqualsIgnoringCase(c, suffix) ? index : -1;
}

bool IsPermittedRegistryRequest(const TALO_REQUEST& request)
{
    const TALO_REGISTRY_REQUEST& fields = request.Body.Registry;
    const bool isNumber = request.Code == REQ_SET_DWORD;
    const bool isText = request.Code == REQ_SET_STRING;
    if (!(isNumber || isText) || !IsFieldTerminated(fields.KeyPath) || !IsFieldTerminated(fields.ValueName) ||
        (isText && !IsFieldTerminated(fields.Data.Text))) {
        return false;
    }
    if (EqualsIgnoringCase(fields.KeyPath, kDeviceListKey)) {
        return isNumber ? EqualsIgnoringCase(fields.ValueName, kDeviceNumValue)
                        : RecordValueIndex(fields.ValueName) >= 0;
    }
    if (EqualsIgnoringCase(fields.KeyPath, kCompanionFlagKey)) {
        return isNumber && EqualsIgnoringCase(fields.ValueName, kCompanionFlagValue) &&
               fields.Data.Number <= 1;
    }
    return false;
}

bool IsAllowedDeviceListWrite(const TALO_REQUEST& request, const CStoredDeviceList& list)
{
    const TALO_REGISTRY_REQUEST& fields = request.Body.Registry;
    if (!EqualsIgnoringCase(fields.KeyPath, kDeviceListKey))
        return true;
    const DWORD count = list.Count();
    const bool roomLeft = count < static_cast<DWORD>(kMostDeviceRecords);
    if (request.Code == REQ_SET_DWORD)
        return roomLeft && fields.Data.Number == count + 1 && IsCompleteRecord(list, count);
    std::wstring stored;
    if (list.Text(fields.ValueName, stored) && stored == fields.Data.Text)
        return true;
    return roomLeft && RecordValueIndex(fields.ValueName) == static_cast<long long>(count);
}

void CDevicePolicy::AddNamedDevice(const std::wstring& className, const std::wstring& hwIdPrefix)
{
    named_.emplace_back(className, hwIdPrefix);
}

void CDevicePolicy::AddRegisteredHwId(const std::wstring& hwId)
{
    registered_.push_back(hwId);
}

bool CDevicePolicy::Permits(const wchar_t* className, const wchar_t* hwIdPrefix) const
{
    if (*className == L'\0')
        return false;
    for (const auto& device : named_) {
        if (EqualsIgnoringCase(className, device.first.c_str()) &&
            EqualsIgnoringCase(hwIdPrefix, device.second.c_str())) {
            return true;
        }
    }
    // A registered adapter is switched by its own hardware ID, never by a class-wide request.
    if (*hwIdPrefix == L'\0' || !EqualsIgnoringCase(className, kNetworkCardClass))
        return false;
    for (const std::wstring& hwId : registered_) {
        if (EqualsIgnoringCase(hwIdPrefix, hwId.c_str()))
            return true;
    }
    return false;
}

bool IsPermittedDeviceRequest(const TALO_REQUEST& request, const CDevicePolicy& policy)
{
    const TALO_DEVICE_REQUEST& fields = request.Body.Device;
    return (request.Code == REQ_ENABLE_DEVICE || request.Code == REQ_DISABLE_DEVICE) &&
           IsFieldTerminated(fields.ClassName) && IsFieldTerminated(fields.HwIdPrefix) &&
           policy.Permits(fields.ClassName, fields.HwIdPrefix);
}
