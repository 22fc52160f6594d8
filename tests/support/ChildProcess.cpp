#include "tests/support/ChildProcess.h"

#include "foundation/Handle.h"

#include <map>

namespace {

constexpr wchar_t kChildSwitch[] = L"--child=";
constexpr int kUnknownRole = 0xBAD;

std::map<std::wstring, ChildMain>& Roles()
{
    static std::map<std::wstring, ChildMain> roles;
    return roles;
}

} // namespace

ChildRole::ChildRole(const wchar_t* name, ChildMain main)
{
    Roles()[name] = main;
}

bool RunChildRole(int argc, wchar_t** argv, int* exitCode)
{
    const std::wstring prefix = kChildSwitch;
    if (argc < 2 || std::wstring(argv[1]).compare(0, prefix.size(), prefix) != 0)
        return false;
    const auto role = Roles().find(argv[1] + prefix.size());
    *exitCode = role == Roles().end() ? kUnknownRole : role->second(std::vector<std::wstring>(argv + 2, argv + argc));
    return true;
}

DWORD RunChild(const wchar_t* role, const std::vector<std::wstring>& args, DWORD timeoutMs)
{
    std::vector<wchar_t> program(32768);
    GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    std::wstring commandLine = L"\"" + std::wstring(program.data()) + L"\" " + kChildSwitch + role;
    for (const std::wstring& arg : args)
        commandLine += L" \"" + arg + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.data(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        return kNoExitCode;
    }
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    DWORD exitCode = kNoExitCode;
    if (WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), kNoExitCode);
        WaitForSingleObject(process.Get(), INFINITE);
    } else if (!GetExitCodeProcess(process.Get(), &exitCode)) {
        exitCode = kNoExitCode;
    }
    return exitCode;
}
