#include "service/wnp/RegisteredAdapterCheck.h"

#include "devices/DeviceControl.h"
#include "devices/NetworkCards.h"
#include "devices/WlanDetection.h"
#include "foundation/Names.h"

#include <string>

bool IsWlanAdapterHwId(const wchar_t* hwId)
{
    if (!hwId || *hwId == L'\0')
        return false;
    for (const NetworkCard& card : ListNetworkCards()) {
        wchar_t cardHwId[kDevicePropertyChars];
        if (GetHwIdFromDesc(card.description.c_str(), kNetworkCardClass, cardHwId, kDevicePropertyChars) &&
            lstrcmpiW(cardHwId, hwId) == 0 &&
            IsWlanAdapter(card.description.c_str(), card.serviceName.c_str(), kSettingsWlanClientVersion)) {
            return true;
        }
    }
    return false;
}

bool IsRegistrableDeviceListWrite(const TALO_REQUEST& request, const CStoredDeviceList& list)
{
    const TALO_REGISTRY_REQUEST& fields = request.Body.Registry;
    if (request.Code != REQ_SET_STRING || lstrcmpiW(fields.KeyPath, kDeviceListKey) != 0 ||
        DeviceRecordIndex(fields.ValueName, kHwIdValueFormat + 2) < 0) { // after its "%d"
        return true;
    }
    std::wstring stored;
    if (list.Text(fields.ValueName, stored) && stored == fields.Data.Text)
        return true;
    return IsFirstHwIdOfClass(fields.Data.Text, kNetworkCardClass) && IsWlanAdapterHwId(fields.Data.Text);
}
