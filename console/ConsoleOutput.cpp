#include "console/ConsoleOutput.h"

ConsoleStream::ConsoleStream(DWORD standardHandle) : handle_(GetStdHandle(standardHandle)), console_(false)
{
    DWORD mode = 0;
    if (handle_ == INVALID_HANDLE_VALUE)
        handle_ = nullptr;
    console_ = handle_ && GetConsoleMode(handle_, &mode);
}

void ConsoleStream::Write(const std::wstring& text) const
{
    if (!handle_ || text.empty())
        return;
    if (console_) {
        DWORD written = 0;
        WriteConsoleW(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // A pipe may take part of the bytes at a time.
    const std::string bytes = ToUtf8(text);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(handle_, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return;
        done += written;
    }
}

void ConsoleStream::Line(const std::wstring& text) const
{
    Write(text + L"\r\n");
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}
