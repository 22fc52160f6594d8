#include "launcher/NtPlatform.h"

int QueryNtPlatform(int* isNt, NtVersion* version)
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    static_assert(sizeof(OSVERSIONINFOW) == 276, "the first-version structure of GetVersionExW");
#if defined(_MSC_VER)
#pragma warning(suppress : 4996) // deprecated, but exactly what this asks
#endif
    if (!GetVersionExW(&info))
        return 0;
    const bool nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    if (isNt)
        *isNt = nt ? 1 : 0;
    if (nt && version)
        *version = {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, 0};
    return 1;
}
