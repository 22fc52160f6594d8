#include "catalog/DeviceMessage.h"

#include <cwchar>

namespace {

// True when format holds exactly one "%s" and no other conversion.
bool HasOneNameConversion(const wchar_t* format)
{
    int names = 0;
    for (const wchar_t* p = format; *p != L'\0'; ++p) {
        if (*p != L'%')
            continue;
        ++p;
        if (*p == L's')
            ++names;
        else if (*p != L'%')
            return false;
    }
    return names == 1;
}

// Appends count characters of text to message, as far as they fit.
void Append(wchar_t* message, int& length, const wchar_t* text, size_t count)
{
    for (size_t i = 0; i < count && length < kDeviceMessageChars - 1; ++i)
        message[length++] = text[i];
}

} // namespace

CcString FormatDeviceMessage(const wchar_t* format, const wchar_t* deviceName)
{
    const wchar_t* text = format ? format : L"";
    const wchar_t* name = deviceName ? deviceName : L"";
    wchar_t message[kDeviceMessageChars];
    int length = 0;
    if (HasOneNameConversion(text)) {
        for (const wchar_t* p = text; *p != L'\0'; ++p) {
            if (*p != L'%')
                Append(message, length, p, 1);
            else if (*++p == L's')
                Append(message, length, name, wcslen(name));
            else
                Append(message, length, L"%", 1);
        }
    } else {
        Append(message, length, text, wcslen(text));
        if (length > 0)
            Append(message, length, L"\r\n", 2);
        Append(message, length, name, wcslen(name));
    }
    message[length] = L'\0';
    return CcString(message);
}
