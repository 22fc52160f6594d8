#include "foundation/CTextMgr.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

const std::wstring kLong(600, L'x');
const std::wstring k511(511, L'y');
const std::wstring kCutSequence = std::wstring(508, L'z') + LR"(\r\n)";

// One text file for every test; the escapes are written as the four characters.
class CTextMgrTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new TempFolder;
        path_ = folder_->Path() + L"TALOTXT.ini";
        ASSERT_TRUE(folder_->WriteTextFile(L"TALOTXT.ini", LR"([Texts]
TwoWords=one\r\ntwo
TwiceInARow=one\r\n\r\ntwo
OnlyTheSequence=\r\n
BackslashROnly=one\rtwo
BackslashNOnly=one\ntwo
AtBothEnds=\r\nmiddle\r\n
HalfBeforeWhole=one\r\r\ntwo
Path=C:\root\new
Unicode=Geräte\r\nデバイス
Empty=
Long=)" + kLong + L"\nExactly511=" + k511 + L"\nCutSequence=" + kCutSequence + LR"(

[Other]
Key=other section
)"));
    }
    static void TearDownTestSuite() { delete folder_; }

    static TempFolder* folder_;
    static std::wstring path_;
};

TempFolder* CTextMgrTest::folder_;
std::wstring CTextMgrTest::path_;

TEST_F(CTextMgrTest, ExpandsEachBackslashRBackslashNIntoALineBreak)
{
    const struct {
        const wchar_t* key;
        const wchar_t* expected;
    } cases[] = {
        {L"TwoWords", L"one\r\ntwo"},
        {L"TwiceInARow", L"one\r\n\r\ntwo"},
        {L"OnlyTheSequence", L"\r\n"},
        {L"BackslashROnly", L"one\\rtwo"},
        {L"BackslashNOnly", L"one\\ntwo"},
        {L"AtBothEnds", L"\r\nmiddle\r\n"},
        {L"HalfBeforeWhole", L"one\\r\r\ntwo"},
        {L"Path", L"C:\\root\\new"},
        {L"Unicode", L"Geräte\r\nデバイス"},
    };
    CTextMgr texts(path_.c_str(), L"Texts", 512);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key);
        EXPECT_STREQ(texts.GetText(c.key), c.expected);
    }
}

TEST_F(CTextMgrTest, MissingKeyGivesTheDefault)
{
    const struct {
        const wchar_t* key;
        const wchar_t* defaultText;
        const wchar_t* expected;
    } cases[] = {
        {L"Missing", L"fallback", L"fallback"},
        {L"Missing", nullptr, L""},
        {L"Missing", LR"(a\r\nb)", L"a\r\nb"},
        {L"Empty", L"fallback", L""},
        {nullptr, L"fallback", L"fallback"},
    };
    CTextMgr texts(path_.c_str(), L"Texts", 512);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << (c.key ? c.key : L"(null)") << ", default "
                                        << (c.defaultText ? c.defaultText : L"(null)"));
        EXPECT_STREQ(texts.GetText(c.key, c.defaultText), c.expected);
    }
}

TEST_F(CTextMgrTest, MissingFileOrSectionGivesTheDefault)
{
    const std::wstring missingFile = folder_->Path() + L"Missing.ini";
    const std::wstring tooLongPath = folder_->Path() + std::wstring(300, L'p') + L".ini";
    const struct {
        const char* name;
        const wchar_t* path;
        const wchar_t* section;
    } cases[] = {
        {"missing file", missingFile.c_str(), L"Texts"},
        {"missing section", path_.c_str(), L"NoSuchSection"},
        {"empty path", L"", L"Texts"},
        {"null path", nullptr, L"Texts"},
        {"path beyond 259 characters", tooLongPath.c_str(), L"Texts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTextMgr texts(c.path, c.section, 512);
        EXPECT_STREQ(texts.GetText(L"TwoWords", L"fallback"), L"fallback");
    }
}

TEST_F(CTextMgrTest, LongValueIsCutToCapacityLessOne)
{
    const struct {
        int capacity;
        const wchar_t* key;
        std::wstring expected;
    } cases[] = {
        {512, L"Long", kLong.substr(0, 511)},
        {512, L"Exactly511", k511},
        {512, L"CutSequence", kCutSequence.substr(0, 511)}, // the cut half stays as written
        {8, L"TwoWords", L"one\r\n"},
        {1, L"TwoWords", L""},
        {0, L"TwoWords", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "capacity " << c.capacity << ", key " << c.key);
        CTextMgr texts(path_.c_str(), L"Texts", c.capacity);
        EXPECT_EQ(texts.GetText(c.key), c.expected);
    }
}

TEST_F(CTextMgrTest, EveryReadReplacesTheOneValueBuffer)
{
    CTextMgr texts(path_.c_str(), L"Texts", 512);
    const wchar_t* first = texts.GetText(L"TwoWords");
    EXPECT_EQ(texts.GetText(L"Missing"), first);
    EXPECT_STREQ(first, L"");
}

TEST_F(CTextMgrTest, SectionStaysUntilReplaced)
{
    CTextMgr texts(path_.c_str(), L"Texts", 512);
    texts.SetSection(L"Other");
    EXPECT_STREQ(texts.GetText(L"Key"), L"other section");
    EXPECT_STREQ(texts.GetText(L"TwoWords"), L"");
    texts.SetSection(L"Texts");
    EXPECT_STREQ(texts.GetText(L"TwoWords"), L"one\r\ntwo");
}

TEST_F(CTextMgrTest, CopyTextGivesGetTextsTextCutToTheCallersBuffer)
{
    const struct {
        int managerCapacity;
        int capacity;
        const wchar_t* key;
        const wchar_t* defaultText;
        std::wstring expected;
    } cases[] = {
        {512, 128, L"TwoWords", nullptr, L"one\r\ntwo"},
        {512, 9, L"TwoWords", nullptr, L"one\r\ntwo"}, // fits only once expanded
        {512, 4, L"TwoWords", nullptr, L"one"},
        {512, 128, L"Missing", L"fallback", L"fallback"},
        {512, 1024, L"Long", nullptr, kLong.substr(0, 511)},
        {8, 128, L"TwoWords", nullptr, L"one\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "capacity " << c.capacity << ", key " << c.key);
        CTextMgr texts(path_.c_str(), L"Texts", c.managerCapacity);
        wchar_t buffer[1024];
        EXPECT_EQ(texts.CopyText(c.key, buffer, c.capacity, c.defaultText), buffer);
        EXPECT_EQ(buffer, c.expected);
    }
}

TEST_F(CTextMgrTest, CopyTextLeavesTheValueBufferAlone)
{
    CTextMgr texts(path_.c_str(), L"Texts", 512);
    const wchar_t* value = texts.GetText(L"TwoWords");
    wchar_t buffer[128];
    texts.CopyText(L"AtBothEnds", buffer, 128);
    EXPECT_STREQ(value, L"one\r\ntwo");
    EXPECT_EQ(texts.CopyText(L"Key", nullptr, 128), nullptr);
}

// The settings program reads its texts on the main thread and on the progress thread.
TEST_F(CTextMgrTest, CopyTextOnASecondThreadDoesNotDisturbGetText)
{
    CTextMgr texts(path_.c_str(), L"Texts", 512);
    constexpr int kReads = 300;
    int copyMismatches = 0;
    std::thread second([&] {
        for (int i = 0; i < kReads; ++i) {
            wchar_t buffer[128];
            if (std::wstring(texts.CopyText(L"AtBothEnds", buffer, 128)) != L"\r\nmiddle\r\n")
                ++copyMismatches;
        }
    });
    int getMismatches = 0;
    for (int i = 0; i < kReads; ++i) {
        if (std::wstring(texts.GetText(L"TwoWords")) != L"one\r\ntwo")
            ++getMismatches;
    }
    second.join();
    EXPECT_EQ(getMismatches, 0);
    EXPECT_EQ(copyMismatches, 0);
}

TEST(FillText, FillsOnlyItsOwnPlaceholders)
{
    EXPECT_EQ(L"WLAN: on", FillText(L"%s: %s", {L"WLAN", L"on"}));
    // A translation's stray formats stay text; a missing value leaves its "%s".
    EXPECT_EQ(L"%d %n WLAN %s %x", FillText(L"%d %n %s %s %x", {L"WLAN"}));
    EXPECT_EQ(L"100%", FillText(L"100%", {L"x"}));
}

} // namespace
