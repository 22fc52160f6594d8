// The catalog's network-card scan before major version 6, for real: Wine reports
// Windows XP to the probe program through its per-program version setting.
#include "automation/ProgramRunner.h"
#include "foundation/Handle.h"
#include "tests/catalog/CatalogMachine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Records_ = std::vector<Record>;

constexpr wchar_t kProbeSettings[] = L"Software\\Wine\\AppDefaults\\catalog_probe.exe";

std::wstring Widen(const std::string& utf8)
{
    const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(chars, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], chars);
    return wide;
}

Records_ Parse(const std::wstring& output)
{
    Records_ records;
    std::wistringstream lines(output);
    std::wstring line;
    while (std::getline(lines, line)) {
        std::wistringstream fields(line);
        Record record{};
        std::wstring setting;
        std::getline(fields, record.name, L'\t');
        std::getline(fields, record.className, L'\t');
        std::getline(fields, record.hwId, L'\t');
        std::getline(fields, setting);
        record.setting = std::stoi(setting);
        records.push_back(record);
    }
    return records;
}

class CatalogVersionTest : public testing::Test {
protected:
    void SetUp() override
    {
        m.AddWlanAdapter(L"1", L"PCI\\VEN_168C", kLongest);
        m.AddWlanAdapter(L"2", L"PCI\\VEN_1394", L"IEEE 1394 Net Adapter");
        // A card whose description, cut to 259 characters, would name another adapter: that
        // one's own card refuses the query, the long one's answers.
        const std::wstring other = L"Other " + std::wstring(253, L'o');
        m.AddDevice({L"Net", {L"PCI\\VEN_8086"}, other});
        EXPECT_TRUE(m.AddCard(L"3", other));
        EXPECT_TRUE(m.AddCard(L"4", other + L"!"));
        EXPECT_TRUE(m.notebook.AddNdisAdapter({L"{svc-" + CatalogMachine::CardKey(L"4") + L"}", true, 0}));
        text_ = m.TextFile(L"[DeviceList]\n0=WLAN\n");
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

    Records_ Probe() const
    {
        std::string output;
        const int count = RunProgram(PathBesideTest(L"catalog_probe.exe"), L"\"" + text_ + L"\"", &output);
        const Records_ records = Parse(Widen(output));
        EXPECT_EQ(static_cast<int>(records.size()), count);
        return records;
    }

    const std::wstring kLongest = L"Wireless " + std::wstring(250, L'w'); // 259 characters
    RegistrySnapshot probeSettings{HKEY_CURRENT_USER, kProbeSettings};
    CatalogMachine m;
    std::wstring text_;
};

TEST_F(CatalogVersionTest, BeforeVersionSixCardsAreAskedThroughNdisAnd1394AdaptersAreLeftOut)
{
    ReportWindowsXp();
    EXPECT_EQ(Records_({{kLongest, L"Net", L"PCI\\VEN_168C", 1}}), Probe());
}

TEST_F(CatalogVersionTest, FromVersionSixTheWlanServiceDecides)
{
    probeSettings.Remove();
    // The service reports descriptions of up to 255 characters: the longest card is not matched.
    EXPECT_EQ(Records_({{L"IEEE 1394 Net Adapter", L"Net", L"PCI\\VEN_1394", 1}}), Probe());
}

} // namespace
