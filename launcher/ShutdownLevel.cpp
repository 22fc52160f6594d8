#include "launcher/ShutdownLevel.h"

#include "foundation/Handle.h"

namespace {

constexpr DWORD kShutdownLevel = 0x100;

} // namespace

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

void LowerShutdownLevel()
{
    int isNt = 0;
    if (!QueryNtPlatform(&isNt, nullptr) || !isNt)
        return;
    const Library kernel(LoadLibraryW(L"Kernel32.DLL"));
    if (!kernel)
        return;
    using SetShutdownParameters = BOOL(WINAPI*)(DWORD, DWORD);
    const auto setShutdownParameters = reinterpret_cast<SetShutdownParameters>(
        reinterpret_cast<void*>(GetProcAddress(kernel.Get(), "SetProcessShutdownParameters")));
    if (setShutdownParameters)
        setShutdownParameters(kShutdownLevel, 0);
}
