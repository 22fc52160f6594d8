#pragma once

#include "console/MachineStatus.h"

#include <string>

class ConsoleTexts;

// The status and the presets, as lines for people (texts of "TALOTXT.ini") or as
// one JSON object for scripts (fixed English keys and state words):
//
//   {"service":"running"|"unreachable",
//    "devices":[{"type","name","class","hwid","state":"on"|"off"|"mixed"|"absent","restartPending"}],
//    "presets":[{"number","name","shortcut":"Ctrl+Alt+T"|null,"devices":[{"name","class","hwid","state":"on"|"off"}]}],
//    "inForce":{"number","name"}|null}
//
// "presets --json" writes {"presets":[...]} alone.
std::wstring StatusText(const ConsoleTexts& texts, const MachineStatus& status);
std::wstring StatusJson(const MachineStatus& status);
std::wstring PresetsText(const ConsoleTexts& texts, const TaloPresetList& presets);
std::wstring PresetsJson(const TaloPresetList& presets);
