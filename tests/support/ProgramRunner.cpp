#include "tests/support/ProgramRunner.h"

#include "foundation/Handle.h"

std::wstring PathBesideTest(const std::wstring& relativePath)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::wstring folder(path, length);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + relativePath;
}

int RunProgram(const std::wstring& program, const std::wstring& arguments, std::string* output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    KernelHandle readEnd;
    KernelHandle writeEnd;
    if (output) {
        HANDLE r = nullptr;
        HANDLE w = nullptr;
        if (!CreatePipe(&r, &w, &inherit, 0))
            return -1;
        readEnd.Reset(r);
        writeEnd.Reset(w);
        SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = writeEnd.Get();
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, output != nullptr, 0, nullptr, nullptr,
                        &startup, &info))
        return -1;
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    writeEnd.Reset(); // the child holds the only write end now, so reading ends with it
    if (output) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(readEnd.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
            output->append(buffer, read);
    }
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
}
