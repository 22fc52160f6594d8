#pragma once

#include <string>
#include <vector>

// One device record of a preset that a figure stores for the programs to apply.
struct BenchPresetDevice {
    std::wstring name;
    std::wstring className;
    std::wstring hwId;
    bool on;
};

// Writes preset number index under the user's presets as the settings program
// stores it; false when a value could not be written.
bool WriteBenchPreset(int index, const wchar_t* name, const std::vector<BenchPresetDevice>& devices);
