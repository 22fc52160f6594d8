#pragma once

#include "foundation/Handle.h"

#include <string>
#include <windows.h>

// The command line of a started program: its path in double quotes, so that a
// path with blanks cannot start whatever program its first words name
// ("C:\Program.exe" for "C:\Program Files\..."), then arguments as given
// (each beginning with a blank).
std::wstring QuotedCommandLine(const wchar_t* program, const wchar_t* arguments);

// Starts program (a full path) with arguments in folder and forgets it: no wait,
// both handles closed. False when it could not be started.
bool StartDetachedProgram(const wchar_t* program, const wchar_t* arguments, const wchar_t* folder);

// Starts program as StartDetachedProgram does but returns its process handle,
// to wait for its end and read its exit code; invalid when it could not be started.
KernelHandle StartWatchedProgram(const wchar_t* program, const wchar_t* arguments, const wchar_t* folder);
