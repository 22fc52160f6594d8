// The WLAN adapters of the catalog: those the device list in the registry holds,
// then the network cards that are WLAN adapters and not listed yet.
#include "catalog/DeviceCatalog.h"

#include "catalog/DeviceList.h"
#include "devices/DeviceControl.h"
#include "devices/DeviceSnapshot.h"
#include "devices/NetworkCards.h"
#include "devices/WlanDetection.h"
#include "foundation/Names.h"

void CDeviceCatalog::AddRegisteredDevices(CDeviceSnapshot& devices)
{
    TaloDeviceArray records;
    ReadDeviceRecords(records);
    for (int i = 0; i < records.GetSize(); ++i) {
        const TALO_DEVICEINFO& record = records[i];
        // Without a class or hardware ID the record would stand for every device of a class.
        if (record.Class.IsEmpty() || record.HwId.IsEmpty())
            continue;
        int state = DEVSTAT_NONE;
        QueryByHwId(devices, &state, record.Class, record.HwId);
        if (IsDefiniteState(state))
            Append(record.DeviceName, record.Class, record.HwId, state == DEVSTAT_ENABLED ? 1 : 0);
    }
}

void CDeviceCatalog::AddNetworkCards(CDeviceSnapshot& devices)
{
    for (const NetworkCard& card : ListNetworkCards()) {
        if (!IsWlanAdapter(card.description.c_str(), card.serviceName.c_str(), options_.wlanClientVersion))
            continue;
        wchar_t hwId[kDevicePropertyChars];
        if (!GetHwIdFromDesc(devices, card.description.c_str(), kNetworkCardClass, hwId, kDevicePropertyChars))
            continue;
        int state = DEVSTAT_NONE;
        QueryByHwId(devices, &state, kNetworkCardClass, hwId);
        if (!IsDefiniteState(state) || IsListed(hwId))
            continue;
        TALO_DEVICEINFO record;
        record.DeviceName = card.description.c_str();
        record.Class = kNetworkCardClass;
        record.HwId = hwId;
        record.Setting = state == DEVSTAT_ENABLED ? 1 : 0;
        // Registered, later builds find the adapter in the device list before this scan.
        AppendDeviceRecord(record);
        SetAtGrow(GetSize(), record);
    }
}

bool CDeviceCatalog::IsListed(const wchar_t* hwId) const
{
    for (int i = 0; i < GetSize(); ++i) {
        if (lstrcmpW((*this)[i].HwId, hwId) == 0)
            return true;
    }
    return false;
}
