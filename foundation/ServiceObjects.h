#pragma once

#include "foundation/Handle.h"

#include <windows.h>

// The named objects of the request channel, created by the service at its
// start with the service's descriptor (ObjectSecurity.h). An object of the
// name left from an earlier run of the service (a user program may still hold
// a handle to it) is taken over. Null when the name is taken by an object of
// another kind, or by one that a user owns or that the service may not change:
// the service then must not run, since it could answer nobody.
struct ServiceObject {
    KernelHandle handle;
    bool existed = false;            // taken over, not created now
    DWORD error = ERROR_SUCCESS;     // why there is no handle
};

ServiceObject CreateServiceMutex(const wchar_t* name);
// Manual reset and not signalled when created; a taken-over event keeps its state.
ServiceObject CreateServiceEvent(const wchar_t* name);
// Shared memory in the paging file, PAGE_READWRITE.
ServiceObject CreateServiceBlock(const wchar_t* name, DWORD size);
