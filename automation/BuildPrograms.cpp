#include "automation/BuildPrograms.h"

#include <vector>

namespace {

// The folder part of path, with its trailing backslash.
std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

} // namespace

std::wstring TestProgramPath()
{
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return std::wstring(path.data(), length);
}

std::wstring TestProgramName()
{
    const std::wstring path = TestProgramPath();
    std::wstring name = path.substr(FolderOf(path).size());
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring BuildFolder()
{
    // <build>\tests\<test>.exe: the build folder is the parent of the test's folder.
    const std::wstring testFolder = FolderOf(TestProgramPath());
    return FolderOf(testFolder.substr(0, testFolder.size() - 1));
}

std::wstring ProgramFolder(Binding binding)
{
    return BuildFolder() + (binding == Binding::Simulated ? L"sim\\bin\\" : L"bin\\");
}

std::wstring ProgramPath(const wchar_t* fileName, Binding binding)
{
    return ProgramFolder(binding) + fileName;
}

RunningProgram::RunningProgram(const std::wstring& path, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    const std::wstring folder = FolderOf(path);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        process_.Reset(info.hProcess);
        KernelHandle thread(info.hThread);
        processId_ = info.dwProcessId;
    } else {
        startError_ = GetLastError();
    }
}

RunningProgram::~RunningProgram()
{
    Kill();
}

bool RunningProgram::IsRunning() const
{
    return Started() && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool RunningProgram::WaitForExit(DWORD* exitCode, DWORD timeoutMs)
{
    if (!Started() || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.Get(), &code))
        return false;
    if (exitCode)
        *exitCode = code;
    return true;
}

void RunningProgram::Kill()
{
    if (!IsRunning())
        return;
    TerminateProcess(process_.Get(), kKilledExitCode);
    WaitForSingleObject(process_.Get(), 5000);
}
