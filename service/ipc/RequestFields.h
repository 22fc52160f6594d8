#pragma once

#include <cstddef>

// Text fields of the request block: UTF-16, terminated inside the field. Plain
// loops over the field, so that the checks build anywhere, without Win32.

// The length of the text in the field, or N when the field holds no terminator.
template <size_t N>
size_t FieldLength(const wchar_t (&field)[N])
{
    size_t length = 0;
    while (length < N && field[length] != L'\0')
        ++length;
    return length;
}

template <size_t N>
bool IsFieldTerminated(const wchar_t (&field)[N])
{
    return FieldLength(field) < N;
}

// Copies text and its terminator into the field; false, with the field left
// as it was, when the text does not fit.
template <size_t N>
bool CopyToField(wchar_t (&field)[N], const wchar_t* text)
{
    size_t length = 0;
    while (length < N && text[length] != L'\0')
        ++length;
    if (length == N)
        return false;
    for (size_t i = 0; i <= length; ++i)
        field[i] = text[i];
    return true;
}
