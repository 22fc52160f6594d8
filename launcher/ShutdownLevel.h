#pragma once

#include <windows.h>

// The launcher asks the system to end it after the other applications at
// shutdown, which only the NT platform offers.

// The version of an NT-platform system as GetVersionExW reports it to this
// program (its manifest decides how far above 6.2 it may see).
struct NtVersion {
    DWORD major;
    DWORD minor;
    DWORD build;
    DWORD reserved; // always 0
};

// 0 when the system does not report its version. Otherwise 1, with isNt (may be
// null) set to 1 on the NT platform, else 0; on the NT platform the version
// (may be null) is filled in too.
int QueryNtPlatform(int* isNt, NtVersion* version);

// On the NT platform: the lowest shutdown level for applications, so that the
// launcher is asked to end after the others. Bound at run time, as the
// function exists only there.
void LowerShutdownLevel();
