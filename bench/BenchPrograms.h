#pragma once

#include "foundation/Handle.h"

#include <string>
#include <windows.h>

// The programs a benchmark starts: those of the simulated notebook in
// <build>\sim\bin, and the benchmark's own beside AirvaneBench.exe in <build>\bench.
std::wstring BenchFolder();
std::wstring SimProgram(const wchar_t* fileName);
std::wstring BenchProgram(const wchar_t* fileName);

// A process started with an argument text, in its program's folder; killed when
// still running at the end of its scope.
class StartedProgram {
public:
    StartedProgram() = default;
    StartedProgram(const std::wstring& path, const std::wstring& arguments);
    ~StartedProgram();
    StartedProgram(StartedProgram&&) = default;
    StartedProgram& operator=(StartedProgram&&) = default;

    bool Started() const { return process_.IsValid(); }
    HANDLE Process() const { return process_.Get(); }
    DWORD Id() const { return id_; }
    // True once the process has ended within timeoutMs; its exit code then in *exitCode.
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();

private:
    KernelHandle process_;
    DWORD id_ = 0;
};

// Wall time of one whole run, from before its creation to its end, in
// microseconds; negative when it did not start or end within timeoutMs.
double TimeRun(const std::wstring& path, const std::wstring& arguments, DWORD timeoutMs, DWORD* exitCode = nullptr);

// The top-level window of the class that belongs to the process, or null.
HWND FindProcessWindow(DWORD processId, const wchar_t* className);

// Processor time (kernel and user) the process has used, in milliseconds.
double CpuMilliseconds(HANDLE process);
