#pragma once

// What a program's resources give it at run time: version strings, the fixed
// version, and the effects of its manifest on the running process.
//
//   EXPECT_EQ(VersionString(nullptr, L"ProductName"), L"Airvane");
//   EXPECT_TRUE(UsesCommonControls6());            // the manifest asks for them

#include <string>
#include <vector>
#include <windows.h>

// A value of the version resource's "StringFileInfo" block (the first
// translation the resource lists); empty when missing. module null: the program.
std::wstring VersionString(HMODULE module, const wchar_t* name);

// The version resource's fixed part; false when there is none.
bool FixedVersion(HMODULE module, VS_FIXEDFILEINFO* info);

// Whether "comctl32.dll" loads as version 6 from the side-by-side store, as a
// manifest that depends on it makes it (Wine's copy reports 5.81 all the same,
// so its place tells, not its DllGetVersion).
bool UsesCommonControls6();

// The DPI awareness of the calling thread: 0 unaware, 1 system, 2 per monitor;
// -1 where the system cannot tell (before Windows 10 1607).
int ThreadDpiAwareness();

// The widths of the images an icon resource (RT_GROUP_ICON) carries, in the
// order of its directory; empty when there is no such icon.
std::vector<int> IconImageSizes(HMODULE module, int iconId);

// The width of the icon as LoadImageW gives it at size x size; 0 when it does not load.
int LoadedIconWidth(HMODULE module, int iconId, int size);
