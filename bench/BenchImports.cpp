#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

// The floor of the settings program's command line: a Win32 program that does
// nothing but has the settings program's system libraries loaded at its start
// and its resources (manifest included).
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    // Never true: the calls only bind the libraries.
    if (show == -1) {
        MessageBeep(0);
        RegCloseKey(nullptr);
        GetStockObject(NULL_BRUSH);
        Shell_NotifyIconW(NIM_DELETE, nullptr);
        CoTaskMemFree(nullptr);
    }
    return 0;
}
