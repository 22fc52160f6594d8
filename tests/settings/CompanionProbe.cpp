// A stand-in for the companion program: each start adds one to the DWORD
// "Runs" under HKCU\Software\AirvaneTests\CompanionProbe, which the tests read.
#include "foundation/Handle.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\AirvaneTests\\CompanionProbe", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
        return 1;
    DWORD runs = 0;
    DWORD bytes = sizeof(runs);
    RegQueryValueExW(key.Get(), L"Runs", nullptr, nullptr, reinterpret_cast<BYTE*>(&runs), &bytes);
    ++runs;
    return RegSetValueExW(key.Get(), L"Runs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&runs), sizeof(runs)) ==
                   ERROR_SUCCESS
               ? 0
               : 1;
}
