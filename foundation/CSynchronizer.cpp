#include "foundation/CSynchronizer.h"

#include "foundation/NamedMutex.h"
#include "foundation/ObjectSecurity.h"

namespace {

constexpr int kAccessDeniedRetries = 120; // about two minutes

} // namespace

CSynchronizer::CSynchronizer(const wchar_t* name, int wait, DWORD timeoutMs)
{
    OpenSecurity security;
    mutex_ = CreateNamedMutex(name, security.Attributes(), false, kAccessDeniedRetries).handle;
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
