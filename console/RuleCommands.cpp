#include "console/RuleCommands.h"

#include "catalog/PresetStore.h"
#include "catalog/RuleStore.h"
#include "console/ConsoleCommands.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleProgress.h"
#include "console/ConsoleTexts.h"
#include "console/JsonText.h"

#include <string>
#include <vector>

namespace {

// "EVENT_CABLEIN" and so on: the event's words in the user's language.
std::wstring EventText(const ConsoleTexts& texts, RuleEvent event)
{
    std::wstring key = std::wstring(L"EVENT_") + RuleEventName(event);
    CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return texts.Get(key.c_str());
}

std::wstring RulesJson(const std::vector<Rule>& rules, const TaloPresetList& presets)
{
    JsonText json;
    json.OpenObject();
    json.Key(L"rules");
    json.OpenArray();
    for (size_t k = 0; k < rules.size(); ++k) {
        json.OpenObject();
        json.Key(L"number");
        json.Number(static_cast<long long>(k));
        json.Key(L"event");
        json.String(RuleEventName(rules[k].event));
        json.Key(L"preset");
        json.String(rules[k].preset.GetString());
        json.Key(L"hwid");
        if (IsDockEvent(rules[k].event))
            json.String(rules[k].hwId.GetString());
        else
            json.Null();
        json.Key(L"presetStored");
        json.Bool(FindRulePreset(presets, rules[k].preset) >= 0);
        json.Key(L"managed");
        json.Bool(rules[k].managed);
        json.CloseObject();
    }
    json.CloseArray();
    json.CloseObject();
    return json.Text();
}

std::wstring RulesText(const ConsoleTexts& texts, const std::vector<Rule>& rules, const TaloPresetList& presets)
{
    if (rules.empty())
        return texts.Get(L"NO_RULES") + L"\n";
    std::wstring text = texts.Get(L"RULES_HEADING") + L"\n";
    for (size_t k = 0; k < rules.size(); ++k) {
        std::wstring event = EventText(texts, rules[k].event);
        if (IsDockEvent(rules[k].event))
            event += L" (" + std::wstring(rules[k].hwId.GetString()) + L")";
        text += L"  " + std::to_wstring(k) + L"  " + texts.Get(L"RULE", {event, rules[k].preset.GetString()});
        if (FindRulePreset(presets, rules[k].preset) < 0)
            text += L" " + texts.Get(L"RULE_NO_PRESET");
        if (rules[k].managed)
            text += L" (" + texts.Get(L"MANAGED") + L")";
        text += L"\n";
    }
    return text;
}

int Add(const std::vector<std::wstring>& operands, const ConsoleTexts& texts, const ConsoleStream& out,
        const ConsoleStream& err)
{
    Rule rule;
    if (!ParseRuleEvent(operands[0].c_str(), &rule.event)) {
        err.Line(texts.Get(L"UNKNOWN_EVENT", {operands[0]}));
        return kExitBadUse;
    }
    if (IsDockEvent(rule.event) != (operands.size() == 3)) {
        err.Line(texts.Get(IsDockEvent(rule.event) ? L"DOCK_NEEDS_HWID" : L"HWID_ONLY_DOCK"));
        return kExitBadUse;
    }
    TaloPresetList presets;
    LoadPresets(presets);
    const int number = FindPreset(presets, operands[1]);
    if (number < 0) {
        err.Line(texts.Get(L"NO_PRESET", {operands[1]}));
        return kExitNotFound;
    }
    rule.preset = presets[number].Name;
    if (operands.size() == 3)
        rule.hwId = operands[2].c_str();
    std::vector<Rule> rules = LoadRules();
    rules.push_back(rule);
    if (!IsValidRule(rule) || UserRuleCount(rules) > kMaxRules) {
        err.Line(texts.Get(L"RULE_REFUSED"));
        return kExitBadUse;
    }
    if (!SaveRules(rules)) {
        err.Line(texts.Get(L"RULES_NOT_SAVED"));
        return kExitFailed;
    }
    out.Line(texts.Get(L"RULE_ADDED", {std::to_wstring(rules.size() - 1)}));
    return kExitDone;
}

// Rule k is the k-th of the list "rules" shows, the administrator's first; those
// cannot be removed.
int Remove(const std::wstring& word, const ConsoleTexts& texts, const ConsoleStream& out, const ConsoleStream& err)
{
    std::vector<Rule> rules = LoadRules();
    const bool digits = !word.empty() && word.size() <= 9 && word.find_first_not_of(L"0123456789") == std::wstring::npos;
    const size_t k = digits ? std::stoul(word) : rules.size();
    if (k >= rules.size()) {
        err.Line(texts.Get(L"NO_RULE", {word}));
        return kExitNotFound;
    }
    if (rules[k].managed) {
        err.Line(texts.Get(L"RULE_MANAGED", {word}));
        return kExitBadUse;
    }
    rules.erase(rules.begin() + static_cast<std::ptrdiff_t>(k));
    if (!SaveRules(rules)) {
        err.Line(texts.Get(L"RULES_NOT_SAVED"));
        return kExitFailed;
    }
    out.Line(texts.Get(L"RULE_REMOVED", {word}));
    return kExitDone;
}

} // namespace

int RunRulesCommand(const ConsoleCommand& command, const ConsoleTexts& texts, const ConsoleStream& out,
                    const ConsoleStream& err)
{
    switch (command.verb) {
    case ConsoleVerb::RulesAdd:
        return Add(command.operands, texts, out, err);
    case ConsoleVerb::RulesRemove:
        return Remove(command.operands[0], texts, out, err);
    default:
        break;
    }
    TaloPresetList presets;
    LoadPresets(presets);
    const std::vector<Rule> rules = LoadRules();
    if (command.json)
        out.Line(RulesJson(rules, presets));
    else
        out.Write(RulesText(texts, rules, presets));
    return kExitDone;
}
