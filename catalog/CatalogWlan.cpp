// The WLAN adapters of the catalog: those the device list in the registry holds,
// then the network cards that are WLAN adapters and not listed yet.
#include "catalog/DeviceCatalog.h"

#include "catalog/DeviceList.h"
#include "devices/DeviceControl.h"
#include "devices/DeviceSnapshot.h"
#include "devices/WlanDetection.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

#include <cwchar>

namespace {

constexpr DWORD kCardKeyChars = 32;    // a sub-key name of at most 31 characters
constexpr DWORD kCardValueChars = 260; // "Description" and "ServiceName": at most 259 characters

using CardValue = wchar_t[kCardValueChars];

// A value of the card's key that fits with its terminator; its type is not looked at.
bool ReadCardValue(HKEY card, const wchar_t* name, CardValue& value)
{
    DWORD bytes = sizeof(value);
    ZeroMemory(value, sizeof(value));
    return RegQueryValueExW(card, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) ==
               ERROR_SUCCESS &&
           wcsnlen(value, kCardValueChars) < kCardValueChars;
}

bool ReadCard(HKEY cards, const wchar_t* cardKey, CardValue& description, CardValue& serviceName)
{
    CcRegistry card;
    return card.OpenKey(cardKey, cards, KEY_READ) &&
           ReadCardValue(card.GetHandle(), kNetworkCardDescriptionValue, description) &&
           ReadCardValue(card.GetHandle(), kNetworkCardServiceNameValue, serviceName);
}

} // namespace

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
    CcRegistry cards;
    if (!cards.OpenKey(kNetworkCardsKey, HKEY_LOCAL_MACHINE, KEY_READ))
        return;
    for (DWORD i = 0;; ++i) {
        wchar_t cardKey[kCardKeyChars];
        DWORD chars = kCardKeyChars;
        const LONG enumerated =
            RegEnumKeyExW(cards.GetHandle(), i, cardKey, &chars, nullptr, nullptr, nullptr, nullptr);
        // A name that does not fit is passed over: cut, it could name another card.
        if (enumerated == ERROR_MORE_DATA)
            continue;
        if (enumerated != ERROR_SUCCESS)
            break;
        CardValue description;
        CardValue serviceName;
        if (!ReadCard(cards.GetHandle(), cardKey, description, serviceName) ||
            !IsWlanAdapter(description, serviceName, options_.wlanClientVersion))
            continue;
        wchar_t hwId[kDevicePropertyChars];
        if (!GetHwIdFromDesc(devices, description, kNetworkCardClass, hwId, kDevicePropertyChars))
            continue;
        int state = DEVSTAT_NONE;
        QueryByHwId(devices, &state, kNetworkCardClass, hwId);
        if (!IsDefiniteState(state) || IsListed(hwId))
            continue;
        TALO_DEVICEINFO record;
        record.DeviceName = description;
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
