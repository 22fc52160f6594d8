#pragma once

// The launcher's autostart value, HKCU\...\Run "Kestrune", which it shares with
// the person at the machine. Tests that change it keep a ScopedAutostart, which
// puts it back as it was: its type and data, or its absence.

#include <string>
#include <vector>
#include <windows.h>

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
