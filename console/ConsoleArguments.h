#pragma once

#include <string>
#include <vector>

// The command line of airvane.exe, read from the words after the program's path
// (as CommandLineToArgvW splits them). Command words and options are compared
// without regard to letter case.
//
//   status [--json]          presets [--json]        apply <number or name>
//   on <type>...             off <type>...
//   rules [--json]           rules add <event> <preset> [<hwid>]   rules remove <k>
//   --help                   --version

enum class ConsoleVerb { Help, Version, Status, Presets, Apply, On, Off, RulesList, RulesAdd, RulesRemove };

// Why a command line is bad use; the word it names, if any, goes with it.
enum class UsageError { None, NoCommand, UnknownCommand, UnknownOption, MissingArgument, ExtraArgument };

struct ConsoleCommand {
    ConsoleVerb verb = ConsoleVerb::Help;
    bool json = false;
    std::vector<std::wstring> operands; // the preset, the types, or the rule's words
};

struct ParsedArguments {
    UsageError error = UsageError::None;
    std::wstring word; // the word the error is about: the command, the option, or the last word read
    ConsoleCommand command;
};

// "--help" (or "-h", "/?") anywhere asks for the usage, whatever else is on the line.
ParsedArguments ParseConsoleArguments(const std::vector<std::wstring>& words);
