#pragma once

#include "console/ConsoleArguments.h"

class ConsoleStream;
class ConsoleTexts;

// "rules [--json]", "rules add <event> <preset> [<hwid>]" and "rules remove <k>"
// over the stored rules; returns the exit code (ConsoleProgress.h).
int RunRulesCommand(const ConsoleCommand& command, const ConsoleTexts& texts, const ConsoleStream& out,
                    const ConsoleStream& err);
