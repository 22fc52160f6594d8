#include "launcher/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Two option tables: the launcher's (the end switch only) and a fuller one with
// a valued switch, a flag, a row of an unknown kind and two positional rows.
enum class Table { Launcher, Full };

constexpr int kNone = -1;

struct ParseCase {
    const char* what;
    Table table;
    std::wstring line;
    int hasProgramName;
    int ignoreUnknown;
    int skipBlanks;
    WORD code;
    int errorAt;      // index into line of the reported word, or kNone
    std::wstring switches; // the letters whose flags are set, in table order
    std::wstring f;        // the value of -f
    std::wstring first;    // the positional values
    std::wstring second;
    int endRequested;        // ReadEndSwitch's answer (launcher table only)
};

constexpr wchar_t kQuotedPath[] = L"\"C:\\Program Files\\Air vane\\TALOLauncher.exe\"";
constexpr wchar_t kUnquotedPath[] = L"C:\\Program Files\\Air vane\\TALOLauncher.exe";

std::wstring Word(size_t length)
{
    return std::wstring(length, L'w');
}

std::wstring WithPath(const std::wstring& rest)
{
    return std::wstring(kQuotedPath) + rest;
}

const ParseCase kCases[] = {
    // The launcher's command line.
    {"no argument", Table::Launcher, kQuotedPath, 1, 1, 1, PARSE_OK, kNone, L"", L"", L"", L"", 0},
    {"/e", Table::Launcher, WithPath(L" /e"), 1, 1, 1, PARSE_OK, kNone, L"e", L"", L"", L"", 1},
    {"-e", Table::Launcher, WithPath(L" -e"), 1, 1, 1, PARSE_OK, kNone, L"e", L"", L"", L"", 1},
    {"/E", Table::Launcher, WithPath(L" /E"), 1, 1, 1, PARSE_OK, kNone, L"E", L"", L"", L"", 1},
    {"-E glued to the path", Table::Launcher, WithPath(L"-E"), 1, 1, 1, PARSE_OK, kNone, L"E", L"", L"", L"", 1},
    {"slash, blank, e", Table::Launcher, WithPath(L" / e"), 1, 1, 1, PARSE_OK, kNone, L"e", L"", L"", L"", 1},
    {"tab as blank", Table::Launcher, WithPath(L"\t/\te"), 1, 1, 1, PARSE_OK, kNone, L"e", L"", L"", L"", 1},
    {"/x alone is a normal start", Table::Launcher, WithPath(L" /x"), 1, 1, 1, PARSE_OK, kNone, L"", L"", L"", L"", 0},
    {"end switch among ignored words", Table::Launcher, WithPath(L" extra /x -q /e more"), 1, 1, 1, PARSE_OK, kNone,
     L"e", L"", L"", L"", 1},
    {"letters after the switch letter are words", Table::Launcher, WithPath(L" /xe"), 1, 1, 1, PARSE_OK, kNone, L"",
     L"", L"", L"", 0},
    {"a lone trailing slash drops the end request", Table::Launcher, WithPath(L" /e /"), 1, 1, 1, PARSE_NO_LETTER, 48,
     L"e", L"", L"", L"", 0},
    {"a trailing hyphen and blanks", Table::Launcher, WithPath(L" -e -  "), 1, 1, 1, PARSE_NO_LETTER, 48, L"e", L"",
     L"", L"", 0},
    {"quoted program path with blanks is one word", Table::Launcher, WithPath(L" /e"), 1, 1, 1, PARSE_OK, kNone, L"e",
     L"", L"", L"", 1},
    {"unquoted program path is skipped piece by piece", Table::Launcher, std::wstring(kUnquotedPath) + L" /E", 1, 1, 1,
     PARSE_OK, kNone, L"E", L"", L"", L"", 1},
    {"a 999-character word fits", Table::Launcher, WithPath(L" /e " + Word(999)), 1, 1, 1, PARSE_OK, kNone, L"e", L"",
     L"", L"", 1},
    {"a 1000-character word is too long", Table::Launcher, WithPath(L" /e " + Word(1000)), 1, 1, 1, PARSE_TOO_LONG, 48,
     L"e", L"", L"", L"", 0},
    {"a 1000-character quoted program path", Table::Launcher, L"\"" + Word(1000) + L"\" /e", 1, 1, 1, PARSE_TOO_LONG,
     0, L"", L"", L"", L"", 0},
    {"an unterminated quote runs to the end", Table::Launcher, L"\"C:\\a b\\TALOLauncher.exe /e", 1, 1, 1, PARSE_OK,
     kNone, L"", L"", L"", L"", 0},

    // The codes 1 to 4 when unknown switches and extra words count.
    {"no letter", Table::Full, L"prog /", 1, 0, 1, PARSE_NO_LETTER, 5, L"", L"", L"", L"", kNone},
    {"unknown switch", Table::Full, L"prog -v /x", 1, 0, 1, PARSE_UNKNOWN_SWITCH, 8, L"v", L"", L"", L"", kNone},
    {"letters compare exactly", Table::Full, L"prog /V", 1, 0, 1, PARSE_UNKNOWN_SWITCH, 5, L"", L"", L"", L"", kNone},
    {"rows of other kinds are skipped", Table::Full, L"prog /z", 1, 0, 1, PARSE_UNKNOWN_SWITCH, 5, L"", L"", L"", L"",
     kNone},
    {"value too long", Table::Full, L"prog /f 12345678", 1, 0, 1, PARSE_TOO_LONG, 5, L"f", L"1234567", L"", L"", kNone},
    {"positional too long", Table::Full, L"one " + Word(32), 0, 0, 1, PARSE_TOO_LONG, 4, L"", L"", L"one", Word(31),
     kNone},
    {"extra argument", Table::Full, L"one two three", 0, 0, 1, PARSE_EXTRA_ARGUMENT, 8, L"", L"", L"one", L"two",
     kNone},
    {"extra argument ignored", Table::Full, L"one two three", 0, 1, 1, PARSE_OK, kNone, L"", L"", L"one", L"two",
     kNone},

    // Values and positional words.
    {"value after a blank", Table::Full, L"prog -f value", 1, 0, 1, PARSE_OK, kNone, L"f", L"value", L"", L"", kNone},
    {"value glued to the letter", Table::Full, L"prog /fvalue", 1, 0, 1, PARSE_OK, kNone, L"f", L"value", L"", L"",
     kNone},
    {"value of exactly the buffer's room", Table::Full, L"prog /f 1234567", 1, 0, 1, PARSE_OK, kNone, L"f", L"1234567",
     L"", L"", kNone},
    {"quoted value with a blank and a slash", Table::Full, L"prog /f \"a b/c\" next", 1, 0, 1, PARSE_OK, kNone, L"f",
     L"a b/c", L"next", L"", kNone},
    {"value ends at a switch character", Table::Full, L"prog /fab/v", 1, 0, 1, PARSE_OK, kNone, L"fv", L"ab", L"", L"",
     kNone},
    {"switch with value at the end of the line", Table::Full, L"prog /f  ", 1, 0, 1, PARSE_OK, kNone, L"f", L"", L"",
     L"", kNone},
    {"without skipping blanks the value is empty", Table::Full, L"prog /f x", 1, 0, 0, PARSE_OK, kNone, L"f", L"", L"x",
     L"", kNone},
    {"positional words in order", Table::Full, L"prog one \"two words\"", 1, 0, 1, PARSE_OK, kNone, L"", L"", L"one",
     L"two words", kNone},
    {"the first word is not taken as program name", Table::Full, L"one -v two", 0, 0, 1, PARSE_OK, kNone, L"v", L"",
     L"one", L"two", kNone},
    {"unquoted program path in pieces", Table::Full, kUnquotedPath, 1, 0, 1, PARSE_OK, kNone, L"", L"", L"Files\\Air",
     L"vane\\TALOLauncher.exe", kNone},
    {"case-sensitive letters set their own flags", Table::Full, L"prog -E /e", 1, 0, 1, PARSE_OK, kNone, L"Ee", L"",
     L"", L"", kNone},
    {"an empty line resets the table", Table::Full, L"", 1, 0, 1, PARSE_OK, kNone, L"", L"", L"", L"", kNone},
};

// The tables of one parse, prefilled with junk that the parser must clear.
class Tables {
public:
    Tables()
    {
        upperE_ = lowerE_ = f_ = v_ = 1;
        lstrcpynW(fValue_, L"junk", 8);
        lstrcpynW(first_, L"junk", 32);
        lstrcpynW(second_, L"junk", 32);
    }

    OptionEntry* Get(Table table) { return table == Table::Launcher ? launcher_ : full_; }

    std::wstring SetSwitches(Table table) const
    {
        std::wstring letters;
        if (upperE_)
            letters += L'E';
        if (lowerE_)
            letters += L'e';
        if (table == Table::Full && f_)
            letters += L'f';
        if (table == Table::Full && v_)
            letters += L'v';
        return letters;
    }
    std::wstring FValue() const { return fValue_; }
    std::wstring First() const { return first_; }
    std::wstring Second() const { return second_; }
    int UnknownKindFlag() const { return unknownKind_; }

private:
    int upperE_, lowerE_, f_, v_;
    int unknownKind_ = 7;
    wchar_t fValue_[8];
    wchar_t first_[32];
    wchar_t second_[32];
    wchar_t unknownBuffer_[4] = L"zz";
    OptionEntry launcher_[3] = {
        {OPT_SWITCH, L'E', &upperE_, nullptr, 0},
        {OPT_SWITCH, L'e', &lowerE_, nullptr, 0},
        {OPT_END, 0, nullptr, nullptr, 0},
    };
    OptionEntry full_[8] = {
        {OPT_SWITCH, L'E', &upperE_, nullptr, 0},
        {OPT_SWITCH, L'e', &lowerE_, nullptr, 0},
        {OPT_SWITCH, L'f', &f_, fValue_, 8},
        {OPT_SWITCH, L'v', &v_, nullptr, 0},
        {9, L'z', &unknownKind_, unknownBuffer_, 4},
        {OPT_POSITIONAL, 0, nullptr, first_, 32},
        {OPT_POSITIONAL, 0, nullptr, second_, 32},
        {OPT_END, 0, nullptr, nullptr, 0},
    };
};

TEST(ParseCommandLine, ReadsEveryCaseOfTheTable)
{
    const wchar_t kUnset[] = L"unset";
    for (const ParseCase& c : kCases) {
        SCOPED_TRACE(c.what);
        Tables tables;
        const wchar_t* errorPosition = kUnset;
        const WORD code = ParseCommandLine(c.line.c_str(), c.hasProgramName, tables.Get(c.table), &errorPosition,
                                           c.ignoreUnknown, c.skipBlanks);
        EXPECT_EQ(code, c.code);
        if (c.errorAt == kNone)
            EXPECT_EQ(errorPosition, nullptr);
        else
            EXPECT_EQ(errorPosition, c.line.c_str() + c.errorAt);
        EXPECT_EQ(tables.SetSwitches(c.table), c.switches);
        if (c.table == Table::Full) {
            EXPECT_EQ(tables.FValue(), c.f);
            EXPECT_EQ(tables.First(), c.first);
            EXPECT_EQ(tables.Second(), c.second);
            EXPECT_EQ(tables.UnknownKindFlag(), 7) << "a row of another kind is left alone";
        } else {
            EXPECT_EQ(ReadEndSwitch(c.line.c_str()), c.endRequested);
        }
    }
}

TEST(ParseCommandLine, TakesNoErrorPositionAndNoLine)
{
    OptionEntry options[] = {{OPT_END, 0, nullptr, nullptr, 0}};
    EXPECT_EQ(ParseCommandLine(L"prog /", 1, options, nullptr, 1, 1), PARSE_NO_LETTER);
    EXPECT_EQ(ParseCommandLine(nullptr, 1, options, nullptr, 0, 1), PARSE_OK);
}

} // namespace
