#include "foundation/ProcessStart.h"

#include "foundation/Handle.h"

std::wstring QuotedCommandLine(const wchar_t* program, const wchar_t* arguments)
{
    return L"\"" + std::wstring(program) + L"\"" + (arguments ? arguments : L"");
}

bool StartDetachedProgram(const wchar_t* program, const wchar_t* arguments, const wchar_t* folder)
{
    return StartWatchedProgram(program, arguments, folder).IsValid();
}

KernelHandle StartWatchedProgram(const wchar_t* program, const wchar_t* arguments, const wchar_t* folder)
{
    // CreateProcessW may write into the command line.
    std::wstring commandLine = QuotedCommandLine(program, arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(program, &commandLine[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, folder,
                        &startup, &started))
        return KernelHandle();
    const KernelHandle thread(started.hThread);
    return KernelHandle(started.hProcess);
}
