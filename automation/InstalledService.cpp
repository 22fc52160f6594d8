#include "automation/InstalledService.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"

#include <vector>

namespace {

std::wstring ServiceName()
{
    return kServiceName;
}

} // namespace

std::wstring HostPath()
{
    std::vector<wchar_t> program(MAX_PATH);
    GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    std::wstring folder(program.data());
    folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
    const std::wstring relative = folder + L"..\\sim\\bin\\TALOService.exe";
    wchar_t full[MAX_PATH];
    return GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr) ? full : relative;
}

DWORD RunCommand(const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    KernelHandle nul(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES; // the commands' chatter stays out of the test's output
    startup.hStdOutput = nul.Get();
    startup.hStdError = nul.Get();
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return GetLastError();
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode;
}

DWORD ServiceState(DWORD* exitCode)
{
    ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    ServiceHandle service(manager ? OpenServiceW(manager.Get(), kServiceName, SERVICE_QUERY_STATUS) : nullptr);
    SERVICE_STATUS status = {};
    if (!service || !QueryServiceStatus(service.Get(), &status))
        return 0;
    if (exitCode)
        *exitCode = status.dwWin32ExitCode;
    return status.dwCurrentState;
}

bool AwaitServiceState(DWORD state, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if (ServiceState() == state)
            return true;
        Sleep(20);
    }
    return false;
}

bool InstallAndStartService()
{
    return InstallAndStartService(HostPath());
}

bool InstallAndStartService(const std::wstring& hostPath)
{
    StopAndRemoveService();
    const std::wstring create = L"sc.exe create " + ServiceName() + L" binPath= \"\\\"" + hostPath +
                                L"\\\"\" start= auto";
    return RunCommand(create) == 0 && StartInstalledService();
}

bool StartInstalledService()
{
    // Wine's "net start" may return while the service still reports that it is starting.
    return RunCommand(L"net.exe start " + ServiceName()) == 0 && AwaitServiceState(SERVICE_RUNNING, 10000);
}

void StopAndRemoveService()
{
    if (ServiceState() == 0)
        return;
    RunCommand(L"sc.exe stop " + ServiceName());
    AwaitServiceState(SERVICE_STOPPED, 10000);
    RunCommand(L"sc.exe delete " + ServiceName());
    AwaitServiceState(0, 10000);
}
