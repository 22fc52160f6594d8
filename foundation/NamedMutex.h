#pragma once

#include "foundation/Handle.h"

#include <windows.h>

// A named mutex, created or opened by one CreateMutexW call per attempt.
struct NamedMutex {
    KernelHandle handle;
    // Opened, not created: initial ownership was not granted.
    bool alreadyExisted = false;
    // GetLastError of the last attempt when there is no handle.
    DWORD error = ERROR_SUCCESS;
};

// Access denied is taken as transient (the other side may still be setting the
// mutex up, or a more privileged owner may be about to end): it is retried after
// a one-second pause, up to accessDeniedRetries times. Any other failure is final.
NamedMutex CreateNamedMutex(const wchar_t* name, SECURITY_ATTRIBUTES* security, bool initialOwner,
                            int accessDeniedRetries);

// The pause before each retry of CreateNamedMutex.
constexpr DWORD kMutexRetryPauseMs = 1000;
