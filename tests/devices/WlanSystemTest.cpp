// WLAN detection with the system binding: Wine's own network cards are not WLAN.
#include "devices/WlanDetection.h"

#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Card {
    std::wstring description;
    std::wstring serviceName;
};

std::vector<Card> NetworkCards()
{
    std::vector<Card> cards;
    CcRegistry list;
    if (!list.OpenKey(kNetworkCardsKey, HKEY_LOCAL_MACHINE, KEY_READ))
        return cards;
    wchar_t name[256];
    for (DWORD i = 0, chars = ARRAYSIZE(name);
         RegEnumKeyExW(list.GetHandle(), i, name, &chars, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, chars = ARRAYSIZE(name)) {
        CcRegistry card;
        card.OpenKey(name, list.GetHandle(), KEY_READ);
        cards.push_back({card.GetString(kNetworkCardDescriptionValue, L"", 0).GetString(),
                         card.GetString(kNetworkCardServiceNameValue, L"", 0).GetString()});
    }
    return cards;
}

TEST(WlanSystemTest, WinesOwnNetworkCardsAreNotWlan)
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExW(&version));
    // Before version 6 the NDIS query would leave DOS device names behind in the session.
    if (version.dwMajorVersion < 6)
        GTEST_SKIP() << "this Wine reports a version before 6";
    const std::vector<Card> cards = NetworkCards();
    if (cards.empty())
        GTEST_SKIP() << "this prefix lists no network cards";
    for (const Card& card : cards) {
        SCOPED_TRACE(std::string(card.description.begin(), card.description.end()));
        EXPECT_EQ(0, IsWlanAdapter(card.description.c_str(), card.serviceName.c_str(), kSettingsWlanClientVersion));
        EXPECT_EQ(0, IsWlanAdapter(card.description.c_str(), card.serviceName.c_str(), kLauncherWlanClientVersion));
    }
}

} // namespace
