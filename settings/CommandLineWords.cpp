#include "settings/CommandLineWords.h"

#include <cwchar>

CCommandLineWords::CCommandLineWords(const wchar_t* argumentText)
{
    const wchar_t* source = argumentText ? argumentText : L"";
    int length = 0;
    for (; source[length] != L'\0' && length < kTextChars - 1; ++length) {
        const wchar_t c = source[length];
        text_[length] = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    }
    text_[length] = L'\0';
    next_ = text_;
    quiet_ = wcsstr(text_, L"/Q") != nullptr;
}

const wchar_t* CCommandLineWords::Next(const wchar_t* separators)
{
    next_ += wcsspn(next_, separators);
    wchar_t* word = next_;
    next_ += wcscspn(next_, separators);
    if (*next_ != L'\0')
        *next_++ = L'\0';
    return word;
}
