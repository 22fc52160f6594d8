#pragma once

#include "foundation/Handle.h"

#include <windows.h>

// A single-instance guard: the first instance creates and owns a named mutex
// and keeps it until Close, destruction or process exit.
class CcCheckDualExec {
public:
    CcCheckDualExec() = default;
    virtual ~CcCheckDualExec() = default;
    CcCheckDualExec(const CcCheckDualExec&) = delete;
    CcCheckDualExec& operator=(const CcCheckDualExec&) = delete;

    enum { kFirstInstance = 0, kOtherInstance = 1, kError = 2 };

    // Closes the mutex of an earlier call, then creates or opens the named one.
    // Access denied is taken as transient and retried every second, 120 times.
    // The mutex gets default security unless a descriptor is given. A caller
    // for whom access denied cannot be transient gives one attempt.
    int Check(const wchar_t* name, SECURITY_ATTRIBUTES* security = nullptr, int attempts = 120);
    void Close() { mutex_.Reset(); }
    // The mutex of the last Check, null when it failed.
    HANDLE GetHandle() const { return mutex_.Get(); }

private:
    KernelHandle mutex_;
};
