#pragma once

#include "console/ConsoleArguments.h"

#include "catalog/DeviceRecords.h"

#include <string>

class ConsoleStream;
class ConsoleTexts;

// Carries out one well-formed command and returns its exit code (ConsoleProgress.h).
// Answers go to out, device lines and errors to err.
int RunConsoleCommand(const ConsoleCommand& command, const ConsoleTexts& texts, const ConsoleStream& out,
                      const ConsoleStream& err);

// The preset that word names: a number counted from 0 that names a stored preset,
// else the first preset of that name in any letter case; -1 when none.
int FindPreset(const TaloPresetList& presets, const std::wstring& word);
