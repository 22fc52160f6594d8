#pragma once

#include <windows.h>

// The machine's state that rules follow, read through the device seam: whether a
// network cable is plugged in and whether the machine runs on battery.

// True when a physical wired Ethernet adapter reports its media connected. WLAN
// adapters and virtual adapters (no hardware interface) do not count.
bool IsCablePluggedIn();

// True when the machine runs on battery; an unknown power source counts as AC.
bool IsOnBattery();

// Calls back on a thread of the system's when an IP interface changes (a cable
// plugged in or pulled); the registration ends with the object.
class CableWatch {
public:
    using Callback = void (*)(void* context);

    CableWatch() = default;
    ~CableWatch() { Stop(); }
    CableWatch(const CableWatch&) = delete;
    CableWatch& operator=(const CableWatch&) = delete;

    bool Start(Callback callback, void* context);
    void Stop();

    // Called by the system's notification: passes it to the callback.
    void Notify() const { callback_(context_); }

private:

    HANDLE notification_ = nullptr;
    Callback callback_ = nullptr;
    void* context_ = nullptr;
};
