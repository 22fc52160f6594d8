// WLAN detection on a simulated notebook, in this process (major version 6 or later
// under Wine): the WLAN service decides, and the NDIS query when called directly.
#include "devices/WlanDetection.h"

#include "sim/SimDeviceApi.h"
#include "sim/SimWlanApi.h"
#include "tests/support/ScopedSimMachine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr GUID kNetClass = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr wchar_t kListed[] = L"802.11n Wireless LAN Adapter";
constexpr wchar_t kAnswering[] = L"{8F3C2A61-5D4B-4E1A-9C77-2B1E0D6A4F10}";
constexpr wchar_t kRefusing[] = L"{1B7E9D20-3C5A-4F86-A0D2-6E4C8B1F7A33}";
constexpr wchar_t kUnknown[] = L"{00000000-0000-0000-0000-00000000BEEF}";

DWORD MajorVersion()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) ? version.dwMajorVersion : 0;
}

class WlanDetectionTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(notebook.AddClass(L"Net", kNetClass));
        SimDevice adapter;
        adapter.className = L"Net";
        adapter.hardwareIds = {L"PCI\\VEN_168C&DEV_002B"};
        adapter.description = kListed;
        device_ = notebook.AddDevice(adapter);
        ASSERT_NE(0u, device_);
        ASSERT_TRUE(notebook.SetWlanService(SimWlanService()));
        ASSERT_TRUE(notebook.AddWlanInterface({kListed, device_}));
        ASSERT_TRUE(notebook.AddNdisAdapter({kAnswering, true, device_}));
        ASSERT_TRUE(notebook.AddNdisAdapter({kRefusing, false, 0}));
    }

    void TearDown() override
    {
        EXPECT_EQ(0u, SimWlanOpenObjects());
        EXPECT_EQ(0u, static_cast<CSimDeviceApi&>(DefaultDeviceApi()).OpenObjectCount());
    }

    std::wstring DosTarget(const wchar_t* name) const
    {
        std::wstring target;
        return notebook.QueryDosDevice(name, target) ? target : L"(none)";
    }

    ScopedSimMachine machine;
    CSimNotebook notebook;
    DWORD device_ = 0;
};

TEST_F(WlanDetectionTest, WlanServiceKnowsTheAdapterByItsDescriptionInAnyLetterCase)
{
    const struct {
        const wchar_t* description;
        int expected;
    } cases[] = {
        {kListed, 1},
        {L"802.11N WIRELESS lan adapter", 1},
        {L"802.11n Wireless LAN Adapter #2", 0},
        {L"802.11n Wireless LAN", 0},
        {L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "description of " << wcslen(c.description) << " characters");
        EXPECT_EQ(c.expected, IsWlanByWlanApi(c.description, kRefusing, kSettingsWlanClientVersion));
    }
}

TEST_F(WlanDetectionTest, EachProgramAsksForItsOwnClientVersion)
{
    for (const DWORD version : {kSettingsWlanClientVersion, kLauncherWlanClientVersion}) {
        EXPECT_EQ(1, IsWlanByWlanApi(kListed, kAnswering, version));
        EXPECT_EQ(version, notebook.LastWlanClientVersion());
    }
}

TEST_F(WlanDetectionTest, WithoutTheWlanServiceNoCardIsWlan)
{
    SimWlanService stopped;
    stopped.running = false;
    ASSERT_TRUE(notebook.SetWlanService(stopped));
    EXPECT_EQ(0, IsWlanByWlanApi(kListed, kAnswering, kSettingsWlanClientVersion));

    SimWlanService missing;
    missing.libraryPresent = false;
    ASSERT_TRUE(notebook.SetWlanService(missing));
    EXPECT_EQ(0, IsWlanByWlanApi(kListed, kAnswering, kSettingsWlanClientVersion));

    // An adapter whose device is disabled is not listed by the service.
    ASSERT_TRUE(notebook.SetWlanService(SimWlanService()));
    ASSERT_TRUE(notebook.SetDisabled(device_, false, true));
    EXPECT_EQ(0, IsWlanByWlanApi(kListed, kAnswering, kSettingsWlanClientVersion));
}

TEST_F(WlanDetectionTest, FromMajorVersionSixTheWlanServiceDecidesAlone)
{
    if (MajorVersion() < 6)
        GTEST_SKIP() << "this Wine reports a version before 6";
    // Neither the 1394 rule nor the NDIS query applies: only the service's list counts.
    ASSERT_TRUE(notebook.AddWlanInterface({L"IEEE 1394 Net Adapter", 0}));
    EXPECT_EQ(1, IsWlanAdapter(L"IEEE 1394 Net Adapter", kRefusing, kLauncherWlanClientVersion));
    EXPECT_EQ(0, IsWlanAdapter(L"Not listed", kAnswering, kLauncherWlanClientVersion));
    EXPECT_EQ(L"(none)", DosTarget(kAnswering));
    EXPECT_EQ(1, IsWlanAdapter(kListed, kRefusing, kLauncherWlanClientVersion));
    EXPECT_EQ(kLauncherWlanClientVersion, notebook.LastWlanClientVersion());
}

TEST_F(WlanDetectionTest, NdisQueryCountsAnAdapterThatAnswersTheSsidQuery)
{
    EXPECT_NE(0, IsWlanByNdis(kAnswering));
    EXPECT_EQ(0, IsWlanByNdis(kRefusing));
    EXPECT_EQ(0, IsWlanByNdis(kUnknown));
    ASSERT_TRUE(notebook.SetDisabled(device_, false, true));
    EXPECT_EQ(0, IsWlanByNdis(kAnswering)) << "the adapter's device is disabled";
}

TEST_F(WlanDetectionTest, NdisQueryDefinesAMissingDosDeviceAndLeavesItDefined)
{
    EXPECT_EQ(L"(none)", DosTarget(kAnswering));
    EXPECT_NE(0, IsWlanByNdis(kAnswering));
    EXPECT_EQ(L"\\Device\\" + std::wstring(kAnswering), DosTarget(kAnswering));
    EXPECT_NE(0, IsWlanByNdis(kAnswering)) << "found the second time through QueryDosDeviceW";

    // An existing name is used as it stands, never redefined.
    ASSERT_TRUE(notebook.DefineDosDevice(kRefusing, L"\\Device\\Elsewhere"));
    EXPECT_EQ(0, IsWlanByNdis(kRefusing));
    EXPECT_EQ(L"\\Device\\Elsewhere", DosTarget(kRefusing));
}

TEST_F(WlanDetectionTest, NdisQueryRefusesAServiceNameTooLongForItsDevicePath)
{
    // "\Device\" and the name must fit 259 characters: 251 do, 252 would be cut.
    const std::wstring fits(251, L'a');
    const std::wstring tooLong(252, L'b');
    ASSERT_TRUE(notebook.AddNdisAdapter({fits, true, 0}));
    ASSERT_TRUE(notebook.AddNdisAdapter({tooLong, true, 0}));
    EXPECT_NE(0, IsWlanByNdis(fits.c_str()));
    EXPECT_EQ(0, IsWlanByNdis(tooLong.c_str()));
    EXPECT_EQ(L"(none)", DosTarget(tooLong.c_str()));
    EXPECT_EQ(0, IsWlanByNdis(L""));
}

} // namespace
