#include <windows.h>

// The floor of a program start: a Win32 program that does nothing, built like the product.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return 0;
}
