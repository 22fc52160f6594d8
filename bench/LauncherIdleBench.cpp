#include "foundation/Handle.h"
#include "foundation/Names.h"

#include <cstdio>
#include <string>
#include <windows.h>

// Measures the processor time TALOLauncher.exe (of the simulated notebook) uses
// while it idles with its icon in the tray: it should use none, since it waits
// for messages without timers or polling.
// Usage: LauncherIdleBench.exe [seconds]   (default 60; run under the build's Wine session)

namespace {

std::wstring BuildFolder()
{
    wchar_t path[MAX_PATH];
    std::wstring folder(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    folder.resize(folder.find_last_of(L'\\')); // <build>\bench
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder;
}

ULONGLONG CpuMilliseconds(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    const ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    const ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return (k.QuadPart + u.QuadPart) / 10000;
}

KernelHandle Start(const std::wstring& program, const wchar_t* arguments)
{
    std::wstring line = L"\"" + program + L"\"" + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return KernelHandle();
    KernelHandle thread(info.hThread);
    return KernelHandle(info.hProcess);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int seconds = argc > 1 ? _wtoi(argv[1]) : 60;
    if (FindWindowW(kLauncherWindowClass, nullptr)) {
        std::printf("a launcher runs already\n");
        return 1;
    }
    const std::wstring launcher = BuildFolder() + L"sim\\bin\\" + kLauncherProgramFile;
    const KernelHandle process = Start(launcher, L"");
    if (!process) {
        std::printf("cannot start the launcher\n");
        return 1;
    }
    for (int i = 0; i < 100 && !FindWindowW(kLauncherWindowClass, nullptr); ++i)
        Sleep(50);
    Sleep(1000); // start-up is over
    const ULONGLONG before = CpuMilliseconds(process.Get());
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const ULONGLONG used = CpuMilliseconds(process.Get()) - before;
    std::printf("TALOLauncher.exe idle: %llu ms of processor time in %d s\n", used, seconds);

    const KernelHandle ender = Start(launcher, L" /e");
    WaitForSingleObject(ender.Get(), 10000);
    WaitForSingleObject(process.Get(), 10000);
    return 0;
}
