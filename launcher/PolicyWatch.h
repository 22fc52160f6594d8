#pragma once

#include "foundation/Handle.h"

#include <string>

#include <windows.h>

// Watches the administrator's policy keys, SOFTWARE\Policies\Korvath\Airvane of the
// machine and of the user, with their sub-keys: the registry signals an event when a
// value or a key below them changes, so the launcher learns of new policy presets and
// settings without polling. Where a policy key does not exist yet, the nearest
// existing parent is watched, so that its creation is seen too.
class CPolicyWatch {
public:
    CPolicyWatch();
    CPolicyWatch(const CPolicyWatch&) = delete;
    CPolicyWatch& operator=(const CPolicyWatch&) = delete;

    // Signalled after a change; null when no event could be made.
    HANDLE Event() const { return event_.Get(); }

    // Asks for the next change, after the start and after each signal; a policy key made
    // (or removed) meanwhile is watched from then on.
    void Arm();

    // One root's watched key and its path.
    struct Watched {
        RegKey key;
        std::wstring path;
    };

private:
    KernelHandle event_;
    Watched machine_;
    Watched user_;
};
