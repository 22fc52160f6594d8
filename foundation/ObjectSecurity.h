#pragma once

#include "foundation/Handle.h"

#include <windows.h>

// Everyone has full access: the descriptor of named mutexes and events that
// user programs share among themselves (a present, null DACL).
class OpenSecurity {
public:
    OpenSecurity();
    OpenSecurity(const OpenSecurity&) = delete;
    OpenSecurity& operator=(const OpenSecurity&) = delete;

    // Null, that is default security, if the descriptor could not be built.
    SECURITY_ATTRIBUTES* Attributes() { return built_ ? &attributes_ : nullptr; }

private:
    SECURITY_DESCRIPTOR descriptor_;
    SECURITY_ATTRIBUTES attributes_;
    bool built_ = false;
};

// What a user program needs of the request channel's objects, and no more:
// no user may change their security, take them over or delete them.
constexpr DWORD kUserMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;
constexpr DWORD kUserEventAccess = SYNCHRONIZE | EVENT_MODIFY_STATE;
constexpr DWORD kUserBlockAccess = FILE_MAP_READ | FILE_MAP_WRITE;

// The descriptor of the service's shared objects: owned by the system, full
// access for the system and the administrators, userAccess for interactive
// and authenticated users, and no entries inherited.
class ServiceSecurity {
public:
    explicit ServiceSecurity(DWORD userAccess);
    ServiceSecurity(const ServiceSecurity&) = delete;
    ServiceSecurity& operator=(const ServiceSecurity&) = delete;

    // Null if the descriptor could not be built: nothing may then be created
    // with it, as default security would admit the wrong people.
    SECURITY_ATTRIBUTES* Attributes() { return descriptor_ ? &attributes_ : nullptr; }

    // For an object of the name that existed before the service asked for it:
    // true when the system or the administrators own it, so that no user holds
    // an owner's right to change it, and it now carries this descriptor's DACL.
    bool Claim(HANDLE object) const;

private:
    LocalMemory descriptor_;
    SECURITY_ATTRIBUTES attributes_ = {};
};
