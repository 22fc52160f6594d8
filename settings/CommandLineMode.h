#pragma once

class CDeviceCatalog;

// Exit codes of "STATUS=<type>".
constexpr int kStatusDisabled = 0;
constexpr int kStatusEnabled = 1;
constexpr int kStatusNotPresented = 4;

// The settings program's command line beyond "/e" and "/p": "[/Q] STATUS=<type>"
// reports whether the devices of a type are on; "[/Q] <type>=ON|OFF ..." switches
// the devices of each type. argumentText is the command line after the program's
// path. The catalog is refilled with the devices of one type at a time. Shows
// its fixed English messages unless the text contains "/Q" in any letter case.
// Returns the exit code: the status for STATUS, else 0.
int RunCommandLineMode(CDeviceCatalog& catalog, const wchar_t* argumentText);
