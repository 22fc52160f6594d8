#include "automation/ProgramRunner.h"

#include "foundation/Handle.h"

#include <cstdio>
#include <thread>

namespace {

constexpr DWORD kRunTimeoutMs = 120000;

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (const wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

ProgramOutcome Failed(const char* call, const std::wstring& program, DWORD error)
{
    ProgramOutcome outcome;
    outcome.failure = std::string(call) + " failed for " + Narrow(program) + ", error " + std::to_string(error);
    return outcome;
}

} // namespace

std::wstring PathBesideTest(const std::wstring& relativePath)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::wstring folder(path, length);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + relativePath;
}

ProgramOutcome RunProgramToEnd(const std::wstring& program, const std::wstring& arguments, std::string* output,
                               DWORD timeoutMs, bool withErrors)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    KernelHandle readEnd;
    KernelHandle writeEnd;
    if (output) {
        HANDLE r = nullptr;
        HANDLE w = nullptr;
        if (!CreatePipe(&r, &w, &inherit, 0))
            return Failed("CreatePipe", program, GetLastError());
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
        startup.hStdError = withErrors ? writeEnd.Get() : GetStdHandle(STD_ERROR_HANDLE);
    }
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, output != nullptr, 0, nullptr, nullptr,
                        &startup, &info))
        return Failed("CreateProcessW", program, GetLastError());
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    writeEnd.Reset(); // the child holds the only write end now, so reading ends with it
    // Read on a thread of its own, so that the timeout bounds a program that never ends.
    DWORD readError = ERROR_SUCCESS;
    std::thread reader;
    if (output) {
        reader = std::thread([&readEnd, output, &readError] {
            char buffer[4096];
            DWORD read = 0;
            while (ReadFile(readEnd.Get(), buffer, sizeof(buffer), &read, nullptr)) {
                if (read == 0)
                    return;
                output->append(buffer, read);
            }
            readError = GetLastError();
        });
    }
    const DWORD waited = WaitForSingleObject(process.Get(), timeoutMs);
    const DWORD waitError = waited == WAIT_FAILED ? GetLastError() : waited;
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.Get(), 1); // its end closes the pipe, which ends the reader
    if (reader.joinable())
        reader.join();
    if (waited != WAIT_OBJECT_0)
        return Failed(waited == WAIT_TIMEOUT ? "waiting for the end" : "WaitForSingleObject", program, waitError);
    if (readError != ERROR_SUCCESS && readError != ERROR_BROKEN_PIPE) // a broken pipe: the program has ended
        return Failed("ReadFile", program, readError);
    ProgramOutcome outcome;
    if (!GetExitCodeProcess(process.Get(), &outcome.exitCode))
        return Failed("GetExitCodeProcess", program, GetLastError());
    outcome.ended = true;
    return outcome;
}

int RunProgram(const std::wstring& program, const std::wstring& arguments, std::string* output)
{
    const ProgramOutcome outcome = RunProgramToEnd(program, arguments, output, kRunTimeoutMs);
    if (!outcome.ended) {
        std::fprintf(stderr, "RunProgram: %s\n", outcome.failure.c_str());
        return -1;
    }
    if (outcome.exitCode >= 0xC0000000) // a status code: the program crashed or its start failed
        std::fprintf(stderr, "RunProgram: %s ended with 0x%08lX\n", Narrow(program).c_str(),
                     static_cast<unsigned long>(outcome.exitCode));
    return static_cast<int>(outcome.exitCode);
}
