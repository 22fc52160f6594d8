#pragma once

// Starting the settings program from the launcher: without argument (the
// settings window) or with " /p<n>" (apply preset n). The launcher does not
// wait for it and keeps no handle.

constexpr int kNoPreset = -1;

// The command line for "TALOSetting.exe" in folder (ending in a backslash): the
// path in double quotes, so that a folder with blanks cannot start another
// program, then " /p<presetIndex>" unless presetIndex is kNoPreset. False when
// the line does not fit capacity characters.
bool MakeSettingsCommandLine(const wchar_t* folder, int presetIndex, wchar_t* line, int capacity);

// Starts the settings program of the launcher's own folder in that folder.
// False when it could not be started; nobody is told.
bool StartSettingsProgram(int presetIndex);
