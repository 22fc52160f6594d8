// airvane.exe: the console command over the catalog, the presets and preset
// application: "status", "presets", "apply", "on" and "off" (ConsoleArguments.h).
// Answers on standard output, device lines and errors on standard error, and
// an exit code for scripts (ConsoleProgress.h).
#include "console/ConsoleArguments.h"
#include "console/ConsoleCommands.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleProgress.h"
#include "console/ConsoleTexts.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kPackageVersion[] = L"" AIRVANE_PACKAGE_VERSION;

std::wstring UsageErrorText(const ConsoleTexts& texts, const ParsedArguments& parsed)
{
    switch (parsed.error) {
    case UsageError::NoCommand:
        return texts.Get(L"NO_COMMAND");
    case UsageError::UnknownCommand:
        return texts.Get(L"UNKNOWN_COMMAND", {parsed.word});
    case UsageError::UnknownOption:
        return texts.Get(L"UNKNOWN_OPTION", {parsed.word});
    case UsageError::MissingArgument:
        return texts.Get(L"MISSING_ARGUMENT", {parsed.word});
    case UsageError::ExtraArgument:
        return texts.Get(L"EXTRA_ARGUMENT", {parsed.word});
    case UsageError::None:
        break;
    }
    return std::wstring();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const ConsoleTexts texts;
    const ConsoleStream out(STD_OUTPUT_HANDLE);
    const ConsoleStream err(STD_ERROR_HANDLE);
    const std::vector<std::wstring> words(argv + (argc > 0 ? 1 : 0), argv + argc);

    const ParsedArguments parsed = ParseConsoleArguments(words);
    if (parsed.error != UsageError::None) {
        err.Line(UsageErrorText(texts, parsed));
        err.Write(texts.Usage());
        return kExitBadUse;
    }
    switch (parsed.command.verb) {
    case ConsoleVerb::Help:
        out.Write(texts.Usage());
        return kExitDone;
    case ConsoleVerb::Version:
        out.Line(texts.Get(L"VERSION", {kPackageVersion}));
        return kExitDone;
    default:
        return RunConsoleCommand(parsed.command, texts, out, err);
    }
}
