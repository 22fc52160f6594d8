#include "settings/CommandLineMode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One read: the separators it uses, and the word it must return.
struct Read {
    const wchar_t* separators;
    const wchar_t* word;
};

struct Case {
    const wchar_t* text;
    bool quiet;
    std::vector<Read> reads;
};

constexpr const wchar_t* W = kWordSeparators;
constexpr const wchar_t* V = kValueSeparators;

} // namespace

TEST(CommandLineWords, ReadsWordsAndValuesAsStrtokDoes)
{
    const Case cases[] = {
        {L"STATUS=WLAN", false, {{W, L"STATUS"}, {V, L"WLAN"}, {W, L""}}},
        {L"status wlan", false, {{W, L"STATUS"}, {V, L"WLAN"}, {W, L""}}},
        {L"/Status=Wlan", false, {{W, L"STATUS"}, {V, L"WLAN"}}},
        {L"  wlan = off   umts=on ", false, {{W, L"WLAN"}, {V, L"OFF"}, {W, L"UMTS"}, {V, L"ON"}, {W, L""}}},
        // A value ends only at a blank or an equal sign: the slash stays in it.
        {L"WLAN=ON/Q", true, {{W, L"WLAN"}, {V, L"ON/Q"}, {W, L""}}},
        {L"WLAN=ON /Q", true, {{W, L"WLAN"}, {V, L"ON"}, {W, L"Q"}, {W, L""}}},
        {L"/q status=umts", true, {{W, L"Q"}, {W, L"STATUS"}, {V, L"UMTS"}}},
        // The separator that ends a word is used up, even when the next read would keep it.
        {L"WLAN/OFF", false, {{W, L"WLAN"}, {V, L"OFF"}}},
        {L"/P1", false, {{W, L"P1"}, {V, L""}}},
        // Only a-z are upper-cased.
        {L"gro\u00dfe\u00e4=on", false, {{W, L"GRO\u00dfE\u00e4"}, {V, L"ON"}}},
        {L"", false, {{W, L""}, {V, L""}, {W, L""}}},
        {L" /= ", false, {{W, L""}}},
        {L"Q", false, {{W, L"Q"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << std::wstring(c.text) << "\"");
        CCommandLineWords words(c.text);
        EXPECT_EQ(c.quiet, words.Quiet());
        for (size_t i = 0; i < c.reads.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "read " << i);
            EXPECT_EQ(std::wstring(c.reads[i].word), words.Next(c.reads[i].separators));
        }
    }
}

TEST(CommandLineWords, NullTextHasNoWords)
{
    CCommandLineWords words(nullptr);
    EXPECT_FALSE(words.Quiet());
    EXPECT_STREQ(L"", words.Next(kWordSeparators));
}

TEST(CommandLineWords, TextBeyondTheBufferIsCutThere)
{
    // 258 characters before "ON": only its "O" fits the 259 characters kept.
    const std::wstring text = L"WLAN=" + std::wstring(253, L' ') + L"ON /Q";
    CCommandLineWords words(text.c_str());
    EXPECT_FALSE(words.Quiet()); // "/Q" lay beyond the cut
    EXPECT_STREQ(L"WLAN", words.Next(kWordSeparators));
    EXPECT_STREQ(L"O", words.Next(kValueSeparators));
    EXPECT_STREQ(L"", words.Next(kWordSeparators));

    const std::wstring longWord(1000, L'x');
    CCommandLineWords cut(longWord.c_str());
    EXPECT_EQ(std::wstring(CCommandLineWords::kTextChars - 1, L'X'), cut.Next(kWordSeparators));
    EXPECT_STREQ(L"", cut.Next(kWordSeparators));
}
