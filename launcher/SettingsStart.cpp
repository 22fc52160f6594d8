#include "launcher/SettingsStart.h"

#include "foundation/CLocalPath.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"

#include <windows.h>
#include <strsafe.h>

namespace {

// The quoted path plus " /p" and a number of up to 11 characters.
constexpr int kCommandLineChars = CLocalPath::kPathChars + 16;

} // namespace

bool MakeSettingsCommandLine(const wchar_t* folder, int presetIndex, wchar_t* line, int capacity)
{
    wchar_t argument[16] = L"";
    if (presetIndex != kNoPreset)
        StringCchPrintfW(argument, ARRAYSIZE(argument), L" /p%d", presetIndex);
    const bool fits = capacity > 0 && SUCCEEDED(StringCchCopyW(line, capacity, L"\"")) &&
                      SUCCEEDED(StringCchCatW(line, capacity, folder)) &&
                      SUCCEEDED(StringCchCatW(line, capacity, kSettingsProgramFile)) &&
                      SUCCEEDED(StringCchCatW(line, capacity, L"\"")) &&
                      SUCCEEDED(StringCchCatW(line, capacity, argument));
    if (!fits && capacity > 0)
        line[0] = L'\0';
    return fits;
}

bool StartSettingsProgram(int presetIndex)
{
    wchar_t folder[CLocalPath::kPathChars];
    wchar_t commandLine[kCommandLineChars];
    if (!CLocalPath::MakeLocalPath(folder, L"") ||
        !MakeSettingsCommandLine(folder, presetIndex, commandLine, kCommandLineChars))
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, folder,
                        &startup, &process))
        return false;
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    return true;
}
