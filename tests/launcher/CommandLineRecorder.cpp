#include <windows.h>

// A stand-in for the programs the launcher starts: writes its command line and
// its current folder, one to a line, to "<its own path>.txt" (UTF-16) and ends.
int wmain()
{
    wchar_t path[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    lstrcatW(path, L".txt");
    wchar_t folder[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, folder);
    const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const wchar_t* parts[] = {GetCommandLineW(), L"\n", folder};
    for (const wchar_t* part : parts)
        WriteFile(file, part, lstrlenW(part) * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return 0;
}
