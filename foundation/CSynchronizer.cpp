#include "foundation/CSynchronizer.h"

#include "foundation/ObjectSecurity.h"

namespace {

constexpr int kAccessDeniedRetries = 120;
constexpr DWORD kRetryPauseMs = 1000;

} // namespace

CSynchronizer::CSynchronizer(const wchar_t* name, int wait, DWORD timeoutMs)
{
    OpenSecurity security;
    // Access denied is transient (the other side may still be setting the mutex up):
    // retry for about two minutes. Any other error is final.
    for (int retries = 0;; ++retries) {
        HANDLE mutex = CreateMutexW(security.Attributes(), FALSE, name);
        if (mutex || GetLastError() != ERROR_ACCESS_DENIED || retries == kAccessDeniedRetries) {
            mutex_.Reset(mutex);
            break;
        }
        Sleep(kRetryPauseMs);
    }
    obtained_ = mutex_.IsValid() ? 1 : 0;
    if (obtained_ && wait)
        WaitForSingleObject(mutex_.Get(), timeoutMs);
}

// ReleaseMutex fails once the thread owns the mutex no more, or if it never did.
CSynchronizer::~CSynchronizer()
{
    if (mutex_) {
        while (ReleaseMutex(mutex_.Get())) {
        }
    }
}
