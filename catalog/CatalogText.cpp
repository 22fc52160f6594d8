#include "catalog/CatalogText.h"

#include <strsafe.h>

#include <cwchar>

bool ReadTextField(CTextMgr& text, const wchar_t* key, TextField& field)
{
    const wchar_t* value = text.GetText(key);
    field[0] = L'\0';
    if (!FitsTextField(value))
        return false;
    StringCchCopyW(field, kTextFieldChars, value);
    return true;
}

bool FitsTextField(const wchar_t* text)
{
    return text && wcsnlen(text, kTextFieldChars) < kTextFieldChars;
}
