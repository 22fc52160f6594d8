#pragma once

#include "foundation/Handle.h"

#include <windows.h>

// A scoped lock on a named mutex that everyone may open. When the mutex cannot
// be obtained, nothing is locked and the guarded work runs unguarded.
class CSynchronizer {
public:
    // wait non-zero: wait for ownership up to timeoutMs; a time-out or an
    // abandoned mutex counts as acquired.
    CSynchronizer(const wchar_t* name, int wait, DWORD timeoutMs);
    // Releases every ownership the calling thread holds, then closes the mutex.
    virtual ~CSynchronizer();
    CSynchronizer(const CSynchronizer&) = delete;
    CSynchronizer& operator=(const CSynchronizer&) = delete;

    int IsObtained() const { return obtained_; }

private:
    KernelHandle mutex_;
    int obtained_ = 0;
};
