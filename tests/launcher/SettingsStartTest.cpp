#include "launcher/SettingsStart.h"

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

namespace {

TEST(MakeSettingsCommandLine, QuotesThePathAndAppendsThePresetNumber)
{
    const struct {
        const wchar_t* folder;
        int preset;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Program Files\\Air vane\\", kNoPreset, L"\"C:\\Program Files\\Air vane\\TALOSetting.exe\""},
        {L"C:\\Program Files\\Air vane\\", 2, L"\"C:\\Program Files\\Air vane\\TALOSetting.exe\" /p2"},
        {L"C:\\Airvane\\", 0, L"\"C:\\Airvane\\TALOSetting.exe\" /p0"},
        {L"C:\\Airvane\\", 2147483647, L"\"C:\\Airvane\\TALOSetting.exe\" /p2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        wchar_t line[300];
        ASSERT_TRUE(MakeSettingsCommandLine(c.folder, c.preset, line, ARRAYSIZE(line)));
        EXPECT_STREQ(line, c.expected);
    }
}

TEST(MakeSettingsCommandLine, RefusesALineThatDoesNotFit)
{
    const std::wstring folder = L"C:\\" + std::wstring(240, L'f') + L"\\";
    const std::wstring expected = L"\"" + folder + L"TALOSetting.exe\" /p12";
    std::wstring line(expected.size() + 1, L'#');
    EXPECT_TRUE(MakeSettingsCommandLine(folder.c_str(), 12, &line[0], static_cast<int>(expected.size() + 1)));
    EXPECT_EQ(std::wstring(line.c_str()), expected);

    EXPECT_FALSE(MakeSettingsCommandLine(folder.c_str(), 12, &line[0], static_cast<int>(expected.size())));
    EXPECT_EQ(line[0], L'\0') << "no cut command line is left to start";
    EXPECT_EQ(line[expected.size()], L'\0') << "nothing written past the capacity";
}

} // namespace
