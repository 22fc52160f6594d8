// WLAN detection with the system binding: Wine's own network cards are not WLAN.
#include "devices/WlanDetection.h"

#include "devices/NetworkCards.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(WlanSystemTest, WinesOwnNetworkCardsAreNotWlan)
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExW(&version));
    // Before version 6 the NDIS query would leave DOS device names behind in the session.
    if (version.dwMajorVersion < 6)
        GTEST_SKIP() << "this Wine reports a version before 6";
    const std::vector<NetworkCard> cards = ListNetworkCards();
    if (cards.empty())
        GTEST_SKIP() << "this prefix lists no network cards";
    for (const NetworkCard& card : cards) {
        SCOPED_TRACE(std::string(card.description.begin(), card.description.end()));
        EXPECT_EQ(0, IsWlanAdapter(card.description.c_str(), card.serviceName.c_str(), kSettingsWlanClientVersion));
        EXPECT_EQ(0, IsWlanAdapter(card.description.c_str(), card.serviceName.c_str(), kLauncherWlanClientVersion));
    }
}

} // namespace
