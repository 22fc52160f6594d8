#include "foundation/DeviceSections.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class DeviceSectionsTest : public testing::Test {
protected:
    CDeviceSections Read(const std::wstring& text)
    {
        EXPECT_TRUE(folder.WriteTextFile(L"TALOTXT.ini", text));
        return CDeviceSections((folder.Path() + L"TALOTXT.ini").c_str());
    }

    TempFolder folder;
};

TEST_F(DeviceSectionsTest, ListsUpToTheFirstMissingOrEmptyValue)
{
    const std::wstring long600(600, L'v');
    CDeviceSections sections = Read(L"[DeviceList]\n0=WLAN\n1=" + long600 + L"\n2=Cards\n4=After a gap\n"
                                     L"[Cards]\n0_Class=Net\n0_HwId=PCI\\VEN_10EC\n0_DisplayName=Card\n"
                                     L"1_Class=Modem\n2_HwId=PCI\\AFTER\n3_Class=After an empty class\n");
    EXPECT_EQ(std::vector<std::wstring>({L"WLAN", std::wstring(511, L'v'), L"Cards"}), sections.ListedTypes());
    const std::vector<DeviceSectionEntry> entries = sections.Entries(L"Cards");
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(L"Cards", entries[1].section);
    EXPECT_EQ(1, entries[1].index);
    EXPECT_EQ(L"Net", entries[0].className);
    EXPECT_EQ(L"PCI\\VEN_10EC", entries[0].hwId);
    EXPECT_EQ(L"Card", entries[0].displayName);
    EXPECT_EQ(L"", entries[1].hwId);
    EXPECT_TRUE(sections.Entries(L"No such section").empty());
}

TEST_F(DeviceSectionsTest, UmtsEntriesWithTheirSubDevices)
{
    CDeviceSections sections = Read(L"[UMTS]\n"
                                    L"UMTS0_ROOT_CLASS=USB\nUMTS0_ROOT_HWID=USB\\VID_1E0E\nUMTS0_SUBNUM=2x\n"
                                    L"UMTS0_SUB1_CLASS=Modem\nUMTS0_SUB1_HWID=USB\\VID_1E0E&MI_02\n"
                                    L"UMTS1_ROOT_CLASS=USB\nUMTS1_ROOT_DISPLAYNAME=Modem\nUMTS1_SUBNUM=-3\n"
                                    L"UMTS2_ROOT_CLASS=USB\n"
                                    L"UMTS4_ROOT_CLASS=After a gap\n");
    const std::vector<UmtsEntry> entries = sections.UmtsEntries();
    ASSERT_EQ(3u, entries.size());
    const int subDevices[] = {2, 0, 0}; // read as _wtoi reads them; negative counts as none
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(n, entries[n].root.index);
        EXPECT_EQ(L"UMTS", entries[n].root.section);
        EXPECT_EQ(subDevices[n], entries[n].subDevices);
    }
    EXPECT_EQ(L"USB\\VID_1E0E", entries[0].root.hwId);
    EXPECT_EQ(L"Modem", entries[1].root.displayName);
    EXPECT_EQ(L"", sections.UmtsSubDevice(0, 0).className);
    const DeviceSectionEntry sub = sections.UmtsSubDevice(0, 1);
    EXPECT_EQ(L"Modem", sub.className);
    EXPECT_EQ(L"USB\\VID_1E0E&MI_02", sub.hwId);
    EXPECT_EQ(1, sub.index);
}

TEST_F(DeviceSectionsTest, AMissingFileListsNothing)
{
    CDeviceSections sections((folder.Path() + L"missing.ini").c_str());
    EXPECT_TRUE(sections.ListedTypes().empty());
    EXPECT_TRUE(sections.UmtsEntries().empty());
}

} // namespace
