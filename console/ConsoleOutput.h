#pragma once

#include <windows.h>

#include <string>

// Standard output or standard error of the console program. On a console the
// text is written as UTF-16 (WriteConsoleW), so every character shows as the
// console's font can; to a pipe or a file it is written as UTF-8 bytes, which
// scripts and JSON readers expect. Without a handle nothing is written.
class ConsoleStream {
public:
    explicit ConsoleStream(DWORD standardHandle);

    void Write(const std::wstring& text) const;
    // The text and a line end (CR LF).
    void Line(const std::wstring& text) const;

private:
    HANDLE handle_;
    bool console_;
};

// The bytes of text in UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);
