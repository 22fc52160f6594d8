#include "service/wnp/RegisteredAdapterCheck.h"

#include "devices/DeviceControl.h"
#include "devices/WlanDetection.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

#include <cwchar>
#include <string>

namespace {

constexpr DWORD kCardKeyChars = 32;    // a sub-key name of at most 31 characters
constexpr DWORD kCardValueChars = 260; // "Description" and "ServiceName": at most 259 characters

// A value of the card's key that fits with its terminator.
bool ReadCardValue(HKEY card, const wchar_t* name, wchar_t (&value)[kCardValueChars])
{
    DWORD bytes = sizeof(value);
    ZeroMemory(value, sizeof(value));
    return RegQueryValueExW(card, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) ==
               ERROR_SUCCESS &&
           wcsnlen(value, kCardValueChars) < kCardValueChars;
}

// The card is a WLAN adapter and its first hardware ID is hwId.
bool IsThisWlanCard(HKEY cards, const wchar_t* cardKey, const wchar_t* hwId)
{
    CcRegistry card;
    wchar_t description[kCardValueChars];
    wchar_t serviceName[kCardValueChars];
    if (!card.OpenKey(cardKey, cards, KEY_READ) ||
        !ReadCardValue(card.GetHandle(), kNetworkCardDescriptionValue, description) ||
        !ReadCardValue(card.GetHandle(), kNetworkCardServiceNameValue, serviceName)) {
        return false;
    }
    wchar_t cardHwId[kDevicePropertyChars];
    return GetHwIdFromDesc(description, kNetworkCardClass, cardHwId, kDevicePropertyChars) &&
           lstrcmpiW(cardHwId, hwId) == 0 && IsWlanAdapter(description, serviceName, kSettingsWlanClientVersion);
}

} // namespace

bool IsWlanAdapterHwId(const wchar_t* hwId)
{
    if (!hwId || *hwId == L'\0')
        return false;
    CcRegistry cards;
    if (!cards.OpenKey(kNetworkCardsKey, HKEY_LOCAL_MACHINE, KEY_READ))
        return false;
    for (DWORD i = 0;; ++i) {
        wchar_t cardKey[kCardKeyChars];
        DWORD chars = kCardKeyChars;
        const LONG enumerated =
            RegEnumKeyExW(cards.GetHandle(), i, cardKey, &chars, nullptr, nullptr, nullptr, nullptr);
        if (enumerated == ERROR_MORE_DATA)
            continue;
        if (enumerated != ERROR_SUCCESS)
            return false;
        if (IsThisWlanCard(cards.GetHandle(), cardKey, hwId))
            return true;
    }
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
