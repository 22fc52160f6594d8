#pragma once

// Screen scaling for the programs a test starts. Wine reads the DPI once per
// process, from HKCU\Control Panel\Desktop\LogPixels, else from
// HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts\LogPixels;
// a new value applies to every process started afterwards in the prefix, with
// no restart of the session. Processes already running keep their DPI.
//
//   {
//       ScopedDpi scale150(144);                      // 150 %
//       RunningProgram settings(ProgramPath(kSettingsProgramFile), L"");
//       ...                                           // runs at 144 DPI
//   }                                                 // the previous value is back
//
// Every program of the prefix started meanwhile sees the value: tests that
// change it must not run beside other GUI tests of the same build folder.

#include <windows.h>

class ScopedDpi {
public:
    explicit ScopedDpi(DWORD dpi);
    ~ScopedDpi();
    ScopedDpi(const ScopedDpi&) = delete;
    ScopedDpi& operator=(const ScopedDpi&) = delete;

    // False when the value could not be written.
    bool Applied() const { return applied_; }

private:
    bool applied_ = false;
    bool hadValue_ = false;
    DWORD previous_ = 0;
};

// The DPI of the calling process's screen (96 is 100 %).
int ScreenDpi();
