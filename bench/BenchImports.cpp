#include <windows.h>
#include <shellapi.h>

// A floor of the programs' start: a Win32 program that does nothing but has the
// system libraries of the settings program and the launcher loaded at its start.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    // Never true: the calls only bind the libraries.
    if (show == -1) {
        MessageBeep(0);
        RegCloseKey(nullptr);
        GetStockObject(NULL_BRUSH);
        Shell_NotifyIconW(NIM_DELETE, nullptr);
    }
    return 0;
}
