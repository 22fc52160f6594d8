// The console command's words, JSON strings, texts and exit codes.
#include "console/ConsoleArguments.h"
#include "console/ConsoleCommands.h"
#include "console/ConsoleProgress.h"
#include "console/ConsoleTexts.h"
#include "console/JsonText.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Words(const std::wstring& line)
{
    std::wistringstream stream(line);
    std::vector<std::wstring> words;
    for (std::wstring word; stream >> word;)
        words.push_back(word);
    return words;
}

} // namespace

TEST(ConsoleArguments, ReadsEveryFormAndRefusesBadUse)
{
    using V = ConsoleVerb;
    using E = UsageError;
    struct Case {
        const wchar_t* line;
        E error;
        const wchar_t* word; // the word an error names
        V verb;
        bool json;
        std::vector<std::wstring> operands;
    };
    const Case cases[] = {
        {L"status", E::None, L"", V::Status, false, {}},
        {L"STATUS --Json", E::None, L"", V::Status, true, {}},
        {L"presets --json", E::None, L"", V::Presets, true, {}},
        {L"apply 0", E::None, L"", V::Apply, false, {L"0"}},
        {L"Apply Travel", E::None, L"", V::Apply, false, {L"Travel"}},
        {L"on wlan umts", E::None, L"", V::On, false, {L"wlan", L"umts"}},
        {L"off BLUETOOTH", E::None, L"", V::Off, false, {L"BLUETOOTH"}},
        {L"rules --json", E::None, L"", V::RulesList, true, {}},
        {L"rules add cable Office", E::None, L"", V::RulesAdd, false, {L"cable", L"Office"}},
        {L"rules add cable Office PCI\\VEN_1", E::None, L"", V::RulesAdd, false, {L"cable", L"Office", L"PCI\\VEN_1"}},
        {L"rules remove 2", E::None, L"", V::RulesRemove, false, {L"2"}},
        {L"--version", E::None, L"", V::Version, false, {}},
        {L"--help", E::None, L"", V::Help, false, {}},
        {L"apply --help", E::None, L"", V::Help, false, {}},
        {L"/?", E::None, L"", V::Help, false, {}},
        {L"", E::NoCommand, L"", V::Help, false, {}},
        {L"show", E::UnknownCommand, L"show", V::Help, false, {}},
        {L"--verbose", E::UnknownOption, L"--verbose", V::Help, false, {}},
        {L"status --xml", E::UnknownOption, L"--xml", V::Help, false, {}},
        {L"apply --json 1", E::UnknownOption, L"--json", V::Help, false, {}},
        {L"status now", E::ExtraArgument, L"now", V::Help, false, {}},
        {L"apply", E::MissingArgument, L"apply", V::Help, false, {}},
        {L"apply 1 2", E::ExtraArgument, L"2", V::Help, false, {}},
        {L"on", E::MissingArgument, L"on", V::Help, false, {}},
        {L"rules add cable", E::MissingArgument, L"add", V::Help, false, {}},
        {L"rules remove", E::MissingArgument, L"remove", V::Help, false, {}},
        {L"rules add a b c d", E::ExtraArgument, L"d", V::Help, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "line \"" << std::wstring(c.line) << "\"");
        const ParsedArguments parsed = ParseConsoleArguments(Words(c.line));
        EXPECT_EQ(c.error, parsed.error);
        EXPECT_EQ(std::wstring(c.word), parsed.word);
        if (c.error == E::None) {
            EXPECT_EQ(c.verb, parsed.command.verb);
            EXPECT_EQ(c.json, parsed.command.json);
            EXPECT_EQ(c.operands, parsed.command.operands);
        }
    }
}

TEST(ConsoleJson, EscapesEveryStringAndSeparatesMembers)
{
    const struct {
        std::wstring value;
        std::wstring quoted;
    } cases[] = {
        {L"WLAN", L"\"WLAN\""},
        {L"PCI\\VEN_8086 \"x\"", L"\"PCI\\\\VEN_8086 \\\"x\\\"\""},
        {L"a\r\n\tb", L"\"a\\r\\n\\tb\""},
        {std::wstring(L"\x01\x1f\x7f", 3), L"\"\\u0001\\u001f\\u007f\""},
        {L"M\u00fcnchen \u7121\u7dda", L"\"M\u00fcnchen \u7121\u7dda\""},
        {L"\xD83D\xDCF6", L"\"\xD83D\xDCF6\""}, // a surrogate pair stays whole
        {std::wstring{L'a', wchar_t(0xD83D), L'b'}, L"\"a\\ufffdb\""},
        {L"\xDCF6", L"\"\\ufffd\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.quoted, JsonQuoted(c.value));

    JsonText json;
    json.OpenObject();
    json.Key(L"a");
    json.OpenArray();
    json.Number(1);
    json.OpenObject();
    json.CloseObject();
    json.Bool(false);
    json.CloseArray();
    json.Key(L"b");
    json.Null();
    json.CloseObject();
    EXPECT_EQ(L"{\"a\":[1,{},false],\"b\":null}", json.Text());
}

TEST(ConsoleExitCode, FailureOutweighsRestart)
{
    EXPECT_EQ(0, SwitchExitCode(0, 0));
    EXPECT_EQ(3010, SwitchExitCode(0, 2));
    EXPECT_EQ(1, SwitchExitCode(1, 0));
    EXPECT_EQ(1, SwitchExitCode(1, 1));
}

TEST(ConsolePresets, FoundByNumberThenByName)
{
    TaloPresetList presets;
    for (const wchar_t* name : {L"Travel", L"Office", L"7"}) {
        TALO_PRESET preset;
        preset.Name = name;
        presets.SetAtGrow(presets.GetSize(), preset);
    }
    const struct {
        const wchar_t* word;
        int number;
    } cases[] = {
        {L"0", 0}, {L"2", 2}, {L"office", 1}, {L"TRAVEL", 0}, {L"7", 2}, // no preset 7: the name
        {L"3", -1}, {L"-1", -1}, {L"", -1}, {L"Offic", -1}, {L"99999999999", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.number, FindPreset(presets, c.word)) << std::wstring(c.word).size();
}
