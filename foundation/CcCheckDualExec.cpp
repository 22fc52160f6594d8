#include "foundation/CcCheckDualExec.h"

#include "foundation/NamedMutex.h"

#include <utility>

int CcCheckDualExec::Check(const wchar_t* name, SECURITY_ATTRIBUTES* security, int attempts)
{
    Close();
    NamedMutex mutex = CreateNamedMutex(name, security, true, attempts > 1 ? attempts - 1 : 0);
    if (mutex.handle) {
        mutex_ = std::move(mutex.handle);
        return mutex.alreadyExisted ? kOtherInstance : kFirstInstance;
    }
    // The last access-denied attempt is paused after as well, like every one before it.
    if (mutex.error == ERROR_ACCESS_DENIED && attempts > 1)
        Sleep(kMutexRetryPauseMs);
    return kError;
}
