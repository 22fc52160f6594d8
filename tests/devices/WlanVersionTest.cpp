// WLAN detection before major version 6, for real: Wine reports Windows XP to the
// probe program through its per-program version setting.
#include "devices/WlanDetection.h"

#include "automation/ProgramRunner.h"
#include "automation/RegistrySnapshot.h"
#include "foundation/Handle.h"
#include "tests/support/ScopedSimMachine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kProbeSettings[] = L"Software\\Wine\\AppDefaults\\wlan_probe.exe";
constexpr wchar_t kAnswering[] = L"{8F3C2A61-5D4B-4E1A-9C77-2B1E0D6A4F10}";
constexpr wchar_t kRefusing[] = L"{1B7E9D20-3C5A-4F86-A0D2-6E4C8B1F7A33}";
constexpr wchar_t kListedRefusing[] = L"{5C0FFEE0-0000-4000-8000-000000000001}";

class WlanVersionTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(notebook.SetWlanService(SimWlanService()));
        ASSERT_TRUE(notebook.AddWlanInterface({L"Listed by the WLAN service", 0}));
        ASSERT_TRUE(notebook.AddNdisAdapter({kAnswering, true, 0}));
        ASSERT_TRUE(notebook.AddNdisAdapter({kRefusing, false, 0}));
        ASSERT_TRUE(notebook.AddNdisAdapter({kListedRefusing, false, 0}));
    }

    static void ReportWindowsXp()
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kProbeSettings, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, key.Put(), nullptr));
        const wchar_t version[] = L"winxp";
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Get(), L"Version", 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(version), sizeof(version)));
    }

    static int Probe(const std::wstring& arguments)
    {
        return RunProgram(PathBesideTest(L"wlan_probe.exe"), arguments);
    }

    static int IsWlan(const std::wstring& description, const wchar_t* serviceName)
    {
        return Probe(L"1 \"" + description + L"\" " + serviceName);
    }

    bool IsDosDeviceDefined(const wchar_t* name) const
    {
        std::wstring target;
        return notebook.QueryDosDevice(name, target);
    }

    RegistrySnapshot probeSettings{HKEY_CURRENT_USER, kProbeSettings};
    ScopedSimMachine machine;
    CSimNotebook notebook;
};

TEST_F(WlanVersionTest, BeforeVersionSixTheNdisQueryDecides)
{
    ReportWindowsXp();
    ASSERT_EQ(5, Probe(L"major")) << "Wine did not report Windows XP to the probe";

    EXPECT_EQ(1, IsWlan(L"Any adapter", kAnswering));
    EXPECT_EQ(0, IsWlan(L"Any adapter", kRefusing));
    EXPECT_EQ(0, IsWlan(L"Listed by the WLAN service", kListedRefusing)) << "the WLAN service is not asked";
    EXPECT_TRUE(IsDosDeviceDefined(kAnswering));
}

TEST_F(WlanVersionTest, BeforeVersionSix1394AdaptersAreRefusedWithoutDeviceAccess)
{
    ReportWindowsXp();
    ASSERT_EQ(5, Probe(L"major"));
    for (const wchar_t* description :
         {L"1394 Net Adapter", L"IEEE1394a Network", L"IEEE \xFF11\xFF13\xFF19\xFF14 adapter"}) {
        SCOPED_TRACE(testing::Message() << "description of " << wcslen(description) << " characters");
        EXPECT_EQ(0, IsWlan(description, kAnswering));
        EXPECT_FALSE(IsDosDeviceDefined(kAnswering)) << "the adapter was reached";
    }
    EXPECT_EQ(1, IsWlan(L"IEEE 139 4 adapter", kAnswering));
}

TEST_F(WlanVersionTest, FromVersionSixTheSameCardsAreAskedOfTheWlanService)
{
    probeSettings.Remove();
    const int major = Probe(L"major");
    if (major < 6)
        GTEST_SKIP() << "this Wine reports version " << major << " by default";
    EXPECT_EQ(0, IsWlan(L"Any adapter", kAnswering));
    EXPECT_EQ(1, IsWlan(L"Listed by the WLAN service", kListedRefusing));
    EXPECT_FALSE(IsDosDeviceDefined(kAnswering));
}

} // namespace
