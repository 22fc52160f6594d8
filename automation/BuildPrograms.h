#pragma once

// The programs of the build, started as a person would start them. Paths derive
// from the running program's own place, <build>/tests/<test>.exe or a tool's:
//
//   RunningProgram settings(ProgramPath(kSettingsProgramFile), L"STATUS=WLAN");
//   ASSERT_TRUE(settings.Started());
//   DWORD exitCode = 0;
//   ASSERT_TRUE(settings.WaitForExit(&exitCode));
//
// A program still running when its RunningProgram goes out of scope is killed,
// so a test that fails half-way leaves nothing behind.

#include "foundation/Handle.h"

#include <string>
#include <windows.h>

// Which build of the programs: bin/ (what ships) or sim/bin/ (on the simulated notebook).
enum class Binding { Simulated, System };

// The build folder, with a trailing backslash.
std::wstring BuildFolder();

// The folder of the programs and their data files, with a trailing backslash.
std::wstring ProgramFolder(Binding binding = Binding::Simulated);

// The full path of a program (or data file) of the build.
std::wstring ProgramPath(const wchar_t* fileName, Binding binding = Binding::Simulated);

// The test program's own path and its file name without extension.
std::wstring TestProgramPath();
std::wstring TestProgramName();

class RunningProgram {
public:
    // Starts path with the argument text (the words after the program's path,
    // as a person types them), in the program's folder.
    RunningProgram(const std::wstring& path, const std::wstring& arguments);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return process_.IsValid(); }
    // Why it did not start: the Windows error code of CreateProcessW.
    DWORD StartError() const { return startError_; }
    bool IsRunning() const;
    DWORD ProcessId() const { return processId_; }
    HANDLE Process() const { return process_.Get(); }

    // Waits for the end; false after timeoutMs (the program then keeps running).
    bool WaitForExit(DWORD* exitCode, DWORD timeoutMs = 30000);

    // Ends the program at once with exit code kKilledExitCode.
    void Kill();

    static constexpr DWORD kKilledExitCode = 0xDEAD;

private:
    KernelHandle process_;
    DWORD processId_ = 0;
    DWORD startError_ = ERROR_SUCCESS;
};
