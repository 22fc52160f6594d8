#pragma once

#include "foundation/Handle.h"

#include <vector>

#include <windows.h>

// Watches the administrator's policy keys, SOFTWARE\Policies\Korvath\Airvane of the
// machine and of the user, so that the launcher learns of new policy presets and
// settings without polling: every key of both policy trees for its values and subkeys,
// and the keys of their path that exist for subkeys made or removed, so that a policy
// key that does not exist yet is seen when it is made. Each key is watched by itself
// rather than as a subtree: a subtree watch of some registries (Wine's) reports the
// subtree's keys but not its values.
class CPolicyWatch {
public:
    CPolicyWatch();
    CPolicyWatch(const CPolicyWatch&) = delete;
    CPolicyWatch& operator=(const CPolicyWatch&) = delete;

    // Signalled after a change; null when no event could be made. Another event after
    // each Arm.
    HANDLE Event() const { return event_.Get(); }

    // Watches the keys as they are now, after the start and after each signal. A watch
    // holds for one change, and keys may have come or gone meanwhile.
    void Arm();

private:
    KernelHandle event_;
    std::vector<RegKey> keys_;
};
