#pragma once

#include <windows.h>

#include <string>

// Programs and tools beside the running program, by path relative to its folder.
std::wstring PathBesideTest(const std::wstring& relativePath);

// How a program run to its end went: its exit code, or why there is none.
struct ProgramOutcome {
    bool ended = false; // false: it could not be started, read or waited for
    DWORD exitCode = 0;
    std::string failure; // when not ended: the call that failed and its Windows error code
};

// Runs a program to its end with the given arguments, its standard output (UTF-8)
// going to `output` when given, and its standard error too with withErrors. A
// program still running after timeoutMs is ended.
ProgramOutcome RunProgramToEnd(const std::wstring& program, const std::wstring& arguments, std::string* output,
                               DWORD timeoutMs, bool withErrors = false);

// The same for a test: returns the exit code, or -1 when the program could not be
// started, read or waited for; the reason then goes to the standard error stream.
int RunProgram(const std::wstring& program, const std::wstring& arguments, std::string* output = nullptr);
