#pragma once

#include "foundation/Handle.h"
#include "foundation/ObjectSecurity.h"

#include <windows.h>

// A named event that everyone may open, created or opened at construction and
// optionally waited for. Construction neither sets nor resets it.
class CEvent {
public:
    CEvent(const wchar_t* name, BOOL manualReset, BOOL initialState, int wait, DWORD timeoutMs)
    {
        OpenSecurity security;
        event_.Reset(CreateEventW(security.Attributes(), manualReset, initialState, name));
        obtained_ = event_.IsValid() ? 1 : 0;
        if (obtained_ && wait)
            waitResult_ = WaitForSingleObject(event_.Get(), timeoutMs);
    }
    virtual ~CEvent() = default;
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    HANDLE GetHandle() const { return event_.Get(); }
    int IsObtained() const { return obtained_; }
    // The result of the wait made at construction; WAIT_FAILED when none was made.
    DWORD GetWaitResult() const { return waitResult_; }

private:
    KernelHandle event_;
    int obtained_ = 0;
    DWORD waitResult_ = WAIT_FAILED;
};
