#include "catalog/DeviceList.h"

#include "catalog/IndexedName.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"

namespace {

// A value of record index; false when it is missing or not REG_SZ.
bool ReadRecordValue(CcRegistry& list, const wchar_t* format, int index, CcString& text)
{
    DWORD type = REG_NONE;
    text = list.GetString(IndexedName(format, index), L"", 0, &type);
    return type == REG_SZ;
}

} // namespace

int ReadDeviceRecords(TaloDeviceArray& records)
{
    records.RemoveAll();
    CcRegistry list;
    if (!list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ))
        return 0;
    const DWORD stored = list.GetDWord(kDeviceNumValue, 0, 0);
    const int count = stored < static_cast<DWORD>(kMostDeviceRecords) ? static_cast<int>(stored) : kMostDeviceRecords;
    for (int i = 0; i < count; ++i) {
        TALO_DEVICEINFO record;
        if (!ReadRecordValue(list, kDeviceNameValueFormat, i, record.DeviceName) ||
            !ReadRecordValue(list, kClassValueFormat, i, record.Class) ||
            !ReadRecordValue(list, kHwIdValueFormat, i, record.HwId))
            break;
        records.SetAtGrow(records.GetSize(), record);
    }
    return records.GetSize();
}

void AppendDeviceRecord(const TALO_DEVICEINFO& device)
{
    DWORD count = 0;
    {
        CcRegistry list;
        list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ);
        count = list.GetDWord(kDeviceNumValue, 0, 0);
    }
    // The service takes the next record only, and no more than the list holds.
    if (count >= static_cast<DWORD>(kMostDeviceRecords))
        return;
    const int index = static_cast<int>(count);
    if (RequestSetString(kDeviceListKey, IndexedName(kDeviceNameValueFormat, index), device.DeviceName) &&
        RequestSetString(kDeviceListKey, IndexedName(kClassValueFormat, index), device.Class) &&
        RequestSetString(kDeviceListKey, IndexedName(kHwIdValueFormat, index), device.HwId))
        RequestSetDWord(kDeviceListKey, kDeviceNumValue, count + 1);
}
