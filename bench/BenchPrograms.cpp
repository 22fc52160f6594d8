#include "bench/BenchPrograms.h"

#include "bench/BenchClock.h"

#include <vector>

namespace {

std::wstring FolderOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[256];
    if (owner == search->processId && GetClassNameW(window, className, ARRAYSIZE(className)) &&
        lstrcmpW(className, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::wstring BenchFolder()
{
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return FolderOf(std::wstring(path.data(), length));
}

std::wstring SimProgram(const wchar_t* fileName)
{
    const std::wstring bench = BenchFolder();
    return FolderOf(bench.substr(0, bench.size() - 1)) + L"sim\\bin\\" + fileName;
}

std::wstring BenchProgram(const wchar_t* fileName)
{
    return BenchFolder() + fileName;
}

StartedProgram::StartedProgram(const std::wstring& path, const std::wstring& arguments)
{
    std::wstring line = L"\"" + path + L"\"";
    if (!arguments.empty())
        line += L" " + arguments;
    const std::wstring folder = FolderOf(path);
    // Standard handles on the null device: what a console program prints must not
    // land in the table, and every program measured gets the same handles.
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    const KernelHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inheritable, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.Get();
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, nul.IsValid(), 0, nullptr, folder.c_str(), &startup,
                       &info)) {
        process_.Reset(info.hProcess);
        KernelHandle thread(info.hThread);
        id_ = info.dwProcessId;
    }
}

StartedProgram::~StartedProgram()
{
    Kill();
}

bool StartedProgram::Wait(DWORD timeoutMs, DWORD* exitCode)
{
    if (!process_ || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    if (exitCode)
        *exitCode = code;
    return true;
}

void StartedProgram::Kill()
{
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), 5000);
    }
}

double TimeRun(const std::wstring& path, const std::wstring& arguments, DWORD timeoutMs, DWORD* exitCode)
{
    const Stopwatch clock;
    StartedProgram program(path, arguments);
    if (!program.Wait(timeoutMs, exitCode))
        return -1;
    return clock.Microseconds();
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className)
{
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

double CpuMilliseconds(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    const ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    const ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return static_cast<double>(k.QuadPart + u.QuadPart) / 1e4;
}
