// Runs IsWlanAdapter in a process of its own, so that a test can have Wine report
// another Windows version to it (HKCU\Software\Wine\AppDefaults\wlan_probe.exe).
//   wlan_probe major                               exit code: the major version seen
//   wlan_probe <client version> <description> <service name>   exit code: the result
#include "devices/WlanDetection.h"

#include <cwchar>
#include <cstdlib>

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && wcscmp(argv[1], L"major") == 0) {
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        return GetVersionExW(&version) ? static_cast<int>(version.dwMajorVersion) : -1;
    }
    if (argc != 4)
        return -2;
    return IsWlanAdapter(argv[2], argv[3], static_cast<DWORD>(_wtoi(argv[1])));
}
