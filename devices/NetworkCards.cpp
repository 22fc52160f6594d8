#include "devices/NetworkCards.h"

#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

#include <cwchar>

namespace {

constexpr DWORD kCardKeyChars = 32;    // a sub-key name of at most 31 characters
constexpr DWORD kCardValueChars = 260; // "Description" and "ServiceName": at most 259 characters

// A value of the card's key that fits with its terminator.
bool ReadCardValue(HKEY card, const wchar_t* name, std::wstring& value)
{
    wchar_t text[kCardValueChars] = {};
    DWORD bytes = sizeof(text);
    if (RegQueryValueExW(card, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &bytes) != ERROR_SUCCESS)
        return false;
    const size_t length = wcsnlen(text, kCardValueChars);
    value.assign(text, length);
    return length < kCardValueChars;
}

} // namespace

std::vector<NetworkCard> ListNetworkCards()
{
    std::vector<NetworkCard> cards;
    CcRegistry list;
    if (!list.OpenKey(kNetworkCardsKey, HKEY_LOCAL_MACHINE, KEY_READ))
        return cards;
    for (DWORD i = 0;; ++i) {
        wchar_t cardKey[kCardKeyChars];
        DWORD chars = kCardKeyChars;
        const LONG enumerated =
            RegEnumKeyExW(list.GetHandle(), i, cardKey, &chars, nullptr, nullptr, nullptr, nullptr);
        if (enumerated == ERROR_MORE_DATA)
            continue;
        if (enumerated != ERROR_SUCCESS)
            return cards;
        CcRegistry card;
        NetworkCard entry;
        if (card.OpenKey(cardKey, list.GetHandle(), KEY_READ) &&
            ReadCardValue(card.GetHandle(), kNetworkCardDescriptionValue, entry.description) &&
            ReadCardValue(card.GetHandle(), kNetworkCardServiceNameValue, entry.serviceName)) {
            cards.push_back(std::move(entry));
        }
    }
}
