#include "service/host/HostedService.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"

// TALOService.exe: a Windows service of its own process that hosts the
// switching service, since the logon process no longer loads notification
// libraries. Like every service it runs in a non-interactive window station
// (session 0 on Windows; Wine's service manager gives its services one of
// their own), so the hidden window is out of reach of the user's programs.

namespace {

constexpr DWORD kPendingWaitHintMs = 15000;
constexpr DWORD kProcessEndWaitMs = 30000;

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
SERVICE_STATUS g_status = {};
KernelHandle g_stopRequested;

void Report(DWORD state, DWORD serviceExitCode = 0)
{
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    g_status.dwWin32ExitCode = serviceExitCode ? ERROR_SERVICE_SPECIFIC_ERROR : NO_ERROR;
    g_status.dwServiceSpecificExitCode = serviceExitCode;
    const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    g_status.dwCheckPoint = pending ? g_status.dwCheckPoint + 1 : 0;
    g_status.dwWaitHint = pending ? kPendingWaitHintMs : 0;
    SetServiceStatus(g_statusHandle, &g_status);
}

void ReportStopProgress()
{
    Report(SERVICE_STOP_PENDING);
}

DWORD WINAPI ControlHandler(DWORD control, DWORD, void*, void*)
{
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        Report(SERVICE_STOP_PENDING);
        SetEvent(g_stopRequested.Get());
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD, wchar_t**)
{
    g_statusHandle = RegisterServiceCtrlHandlerExW(kServiceName, ControlHandler, nullptr);
    if (!g_statusHandle)
        return;
    Report(SERVICE_START_PENDING);
    g_stopRequested.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CHostedService service;
    const DWORD refused = g_stopRequested ? service.Start() : kExitNotStarted;
    if (refused != 0) {
        Report(SERVICE_STOPPED, refused);
        return;
    }
    Report(SERVICE_RUNNING);
    WaitForSingleObject(g_stopRequested.Get(), INFINITE);
    service.Stop(ReportStopProgress);
    Report(SERVICE_STOPPED);
}

// The installer runs "TALOService.exe /await-end" after it asked the service to
// stop and before it removes the files: this waits until the service's process,
// which holds this program and the library open, has ended. Windows Installer
// waits for the stop itself; Wine's returns as soon as the stop is requested.
int AwaitServiceEnd()
{
    ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    ServiceHandle service(manager ? OpenServiceW(manager.Get(), kServiceName, SERVICE_QUERY_STATUS) : nullptr);
    SERVICE_STATUS_PROCESS status = {};
    DWORD needed = 0;
    if (!service || !QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                          sizeof(status), &needed))
        return 0;
    // A stopped service has no process (its id is 0).
    KernelHandle process(status.dwProcessId ? OpenProcess(SYNCHRONIZE, FALSE, status.dwProcessId) : nullptr);
    if (!process)
        return 0;
    return WaitForSingleObject(process.Get(), kProcessEndWaitMs) == WAIT_OBJECT_0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && lstrcmpiW(argv[1], L"/await-end") == 0)
        return AwaitServiceEnd();
    SERVICE_TABLE_ENTRYW services[] = {{const_cast<wchar_t*>(kServiceName), ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(services) ? 0 : static_cast<int>(GetLastError());
}
