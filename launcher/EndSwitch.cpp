#include "launcher/EndSwitch.h"

#include "launcher/CommandLine.h"

int ReadEndSwitch(const wchar_t* commandLine)
{
    int endRequested = 0;
    OptionEntry options[] = {
        {OPT_SWITCH, L'E', &endRequested, nullptr, 0},
        {OPT_SWITCH, L'e', &endRequested, nullptr, 0},
        {OPT_END, 0, nullptr, nullptr, 0},
    };
    if (ParseCommandLine(commandLine, 1, options, nullptr, 1, 1) != PARSE_OK)
        endRequested = 0;
    return endRequested;
}
