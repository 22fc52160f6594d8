#pragma once

// TALOService.exe of the simulated notebook (sim/bin beside the tests folder),
// installed and started in the Wine prefix as an administrator would: with
// "sc create" and "net start". Removed again with "sc stop" and "sc delete".

#include "foundation/Handle.h"

#include <string>
#include <windows.h>

// The Windows path of TALOService.exe of the simulated notebook, from this test program's own path.
std::wstring HostPath();

// Runs a command line (such as L"sc.exe stop TALOService") and returns its exit code.
DWORD RunCommand(const std::wstring& commandLine);

// The service's current state (SERVICE_RUNNING...), 0 when it is not installed.
DWORD ServiceState(DWORD* exitCode = nullptr);
// Waits up to timeoutMs for the state; true once it is reached.
bool AwaitServiceState(DWORD state, DWORD timeoutMs);

// Installs the service, replacing one that an aborted run left, and starts it:
// the host of sim/bin, or the one at hostPath.
bool InstallAndStartService();
bool InstallAndStartService(const std::wstring& hostPath);
bool StartInstalledService();
void StopAndRemoveService();
