#include "console/ConsoleArguments.h"

#include <windows.h>

namespace {

bool Is(const std::wstring& word, const wchar_t* expected)
{
    return CompareStringOrdinal(word.c_str(), -1, expected, -1, TRUE) == CSTR_EQUAL;
}

bool IsOption(const std::wstring& word)
{
    return word.size() > 1 && word[0] == L'-';
}

bool IsHelp(const std::wstring& word)
{
    return Is(word, L"--help") || Is(word, L"-h") || Is(word, L"/?") || Is(word, L"-?");
}

struct VerbForm {
    const wchar_t* word;
    ConsoleVerb verb;
    bool takesJson;
    size_t minOperands;
    size_t maxOperands;
};

// The forms after the command word; "rules" is told apart by its second word.
constexpr size_t kAny = static_cast<size_t>(-1);
constexpr VerbForm kForms[] = {
    {L"status", ConsoleVerb::Status, true, 0, 0},
    {L"presets", ConsoleVerb::Presets, true, 0, 0},
    {L"apply", ConsoleVerb::Apply, false, 1, 1},
    {L"on", ConsoleVerb::On, false, 1, kAny},
    {L"off", ConsoleVerb::Off, false, 1, kAny},
    {L"--version", ConsoleVerb::Version, false, 0, 0},
    {L"help", ConsoleVerb::Help, false, 0, 0},
    {L"version", ConsoleVerb::Version, false, 0, 0},
};
constexpr VerbForm kRulesList = {L"rules", ConsoleVerb::RulesList, true, 0, 0};
constexpr VerbForm kRulesAdd = {L"add", ConsoleVerb::RulesAdd, false, 2, 3};
constexpr VerbForm kRulesRemove = {L"remove", ConsoleVerb::RulesRemove, false, 1, 1};

ParsedArguments Bad(UsageError error, const std::wstring& word)
{
    ParsedArguments parsed;
    parsed.error = error;
    parsed.word = word;
    return parsed;
}

// Reads the options and operands of one form from words[first] on.
ParsedArguments ReadForm(const VerbForm& form, const std::vector<std::wstring>& words, size_t first)
{
    ParsedArguments parsed;
    parsed.command.verb = form.verb;
    for (size_t i = first; i < words.size(); ++i) {
        const std::wstring& word = words[i];
        if (form.takesJson && Is(word, L"--json"))
            parsed.command.json = true;
        else if (IsOption(word))
            return Bad(UsageError::UnknownOption, word);
        else if (parsed.command.operands.size() == form.maxOperands)
            return Bad(UsageError::ExtraArgument, word);
        else
            parsed.command.operands.push_back(word);
    }
    if (parsed.command.operands.size() < form.minOperands)
        return Bad(UsageError::MissingArgument, words[first - 1]);
    return parsed;
}

} // namespace

ParsedArguments ParseConsoleArguments(const std::vector<std::wstring>& words)
{
    for (const std::wstring& word : words) {
        if (IsHelp(word))
            return ParsedArguments();
    }
    if (words.empty())
        return Bad(UsageError::NoCommand, L"");
    const std::wstring& command = words[0];
    if (Is(command, L"rules")) {
        if (words.size() > 1 && Is(words[1], kRulesAdd.word))
            return ReadForm(kRulesAdd, words, 2);
        if (words.size() > 1 && Is(words[1], kRulesRemove.word))
            return ReadForm(kRulesRemove, words, 2);
        return ReadForm(kRulesList, words, 1);
    }
    for (const VerbForm& form : kForms) {
        if (Is(command, form.word))
            return ReadForm(form, words, 1);
    }
    return Bad(IsOption(command) ? UsageError::UnknownOption : UsageError::UnknownCommand, command);
}
