#include "foundation/CcCheckDualExec.h"

namespace {

constexpr int kAttempts = 120;
constexpr DWORD kRetryPauseMs = 1000;

} // namespace

int CcCheckDualExec::Check(const wchar_t* name, SECURITY_ATTRIBUTES* security)
{
    Close();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        HANDLE mutex = CreateMutexW(security, TRUE, name);
        const DWORD error = GetLastError();
        if (mutex) {
            mutex_.Reset(mutex);
            return error == ERROR_ALREADY_EXISTS ? kOtherInstance : kFirstInstance;
        }
        if (error != ERROR_ACCESS_DENIED)
            return kError;
        Sleep(kRetryPauseMs);
    }
    return kError;
}
