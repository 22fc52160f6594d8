#include "foundation/CcCheckDualExec.h"

#include "foundation/NamedMutex.h"

#include <utility>

namespace {

constexpr int kAttempts = 120;

} // namespace

int CcCheckDualExec::Check(const wchar_t* name, SECURITY_ATTRIBUTES* security)
{
    Close();
    NamedMutex mutex = CreateNamedMutex(name, security, true, kAttempts - 1);
    if (mutex.handle) {
        mutex_ = std::move(mutex.handle);
        return mutex.alreadyExisted ? kOtherInstance : kFirstInstance;
    }
    // The last access-denied attempt is paused after as well, like every one before it.
    if (mutex.error == ERROR_ACCESS_DENIED)
        Sleep(kMutexRetryPauseMs);
    return kError;
}
