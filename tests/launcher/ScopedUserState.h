#pragma once

// The per-user state that the launcher and the settings program share with the
// person at the machine: the autostart value and the presets. Tests that change
// either keep one of these, which puts the state back as it was.

#include <string>
#include <vector>
#include <windows.h>

// HKCU\...\Run "Kestrune": its type and data, or its absence.
class ScopedAutostart {
public:
    ScopedAutostart();
    ~ScopedAutostart();
    ScopedAutostart(const ScopedAutostart&) = delete;
    ScopedAutostart& operator=(const ScopedAutostart&) = delete;

    static bool Set(const std::wstring& commandLine);
    static bool Exists();

private:
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

// The tree HKCU\SOFTWARE\Korvath\Airvane\Setting: moved aside, so that the test
// starts without presets, and moved back at the end.
class ScopedPresets {
public:
    ScopedPresets();
    ~ScopedPresets();
    ScopedPresets(const ScopedPresets&) = delete;
    ScopedPresets& operator=(const ScopedPresets&) = delete;

    bool Ready() const { return ready_; }

private:
    std::wstring backup_;
    bool saved_ = false;
    bool ready_ = false;
};
