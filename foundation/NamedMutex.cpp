#include "foundation/NamedMutex.h"

NamedMutex CreateNamedMutex(const wchar_t* name, SECURITY_ATTRIBUTES* security, bool initialOwner,
                            int accessDeniedRetries)
{
    NamedMutex result;
    for (int retries = 0;; ++retries) {
        result.handle.Reset(CreateMutexW(security, initialOwner ? TRUE : FALSE, name));
        const DWORD error = GetLastError();
        if (result.handle) {
            result.alreadyExisted = error == ERROR_ALREADY_EXISTS;
            return result;
        }
        result.error = error;
        if (error != ERROR_ACCESS_DENIED || retries >= accessDeniedRetries)
            return result;
        Sleep(kMutexRetryPauseMs);
    }
}
