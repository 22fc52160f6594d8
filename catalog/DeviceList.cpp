#include "catalog/DeviceList.h"

#include "catalog/IndexedName.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"

void AppendDeviceRecord(const TALO_DEVICEINFO& device)
{
    DWORD count = 0;
    {
        CcRegistry list;
        list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ);
        count = list.GetDWord(kDeviceNumValue, 0, 0);
    }
    const int index = static_cast<int>(count);
    if (RequestSetString(kDeviceListKey, IndexedName(kDeviceNameValueFormat, index), device.DeviceName) &&
        RequestSetString(kDeviceListKey, IndexedName(kClassValueFormat, index), device.Class) &&
        RequestSetString(kDeviceListKey, IndexedName(kHwIdValueFormat, index), device.HwId))
        RequestSetDWord(kDeviceListKey, kDeviceNumValue, count + 1);
}
