#include "catalog/DeviceMessage.h"

#include <gtest/gtest.h>

#include <string>

TEST(DeviceMessage, NamesTheDeviceWhereTheTextSaysSo)
{
    struct Case {
        const wchar_t* format;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"Could not switch on this device:\r\n%s", L"Could not switch on this device:\r\nWLAN"},
        {L"%s", L"WLAN"},
        {L"%s: 100%% off", L"WLAN: 100% off"},
        {L"%%s is %s", L"%s is WLAN"},
        // Anything but exactly one %s: the text as it stands, the name on a line of its own.
        {L"%d %s %n", L"%d %s %n\r\nWLAN"},
        {L"%s%s", L"%s%s\r\nWLAN"},
        {L"%x", L"%x\r\nWLAN"},
        {L"%S", L"%S\r\nWLAN"},
        {L"%ls", L"%ls\r\nWLAN"},
        {L"%10s", L"%10s\r\nWLAN"},
        {L"ends in %", L"ends in %\r\nWLAN"},
        {L"No device named", L"No device named\r\nWLAN"},
        {L"", L"WLAN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "format \"" << std::wstring(c.format) << "\"");
        EXPECT_STREQ(c.expected, FormatDeviceMessage(c.format, L"WLAN").GetString());
    }
    EXPECT_STREQ(L"Failed: ", FormatDeviceMessage(L"Failed: %s", nullptr).GetString());
    EXPECT_STREQ(L"WLAN", FormatDeviceMessage(nullptr, L"WLAN").GetString());
}

TEST(DeviceMessage, LongTextsAreCutToTheMessageBuffer)
{
    const std::wstring name(5000, L'n');
    const CcString message = FormatDeviceMessage(L"Device %s failed", name.c_str());
    ASSERT_EQ(kDeviceMessageChars - 1, message.GetLength());
    EXPECT_EQ(L"Device " + std::wstring(kDeviceMessageChars - 8, L'n'), message.GetString());

    const std::wstring format(2000, L'%');
    EXPECT_EQ(std::wstring(kDeviceMessageChars - 1, L'%'), FormatDeviceMessage(format.c_str(), L"x").GetString());
}
