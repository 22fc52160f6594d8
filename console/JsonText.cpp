#include "console/JsonText.h"

#include <cwchar>

namespace {

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

void JsonText::Key(const wchar_t* name)
{
    BeforeValue();
    text_ += JsonQuoted(name) + L":";
}

void JsonText::String(const std::wstring& value)
{
    BeforeValue();
    text_ += JsonQuoted(value);
    needsComma_ = true;
}

void JsonText::Number(long long value)
{
    BeforeValue();
    text_ += std::to_wstring(value);
    needsComma_ = true;
}

void JsonText::Bool(bool value)
{
    BeforeValue();
    text_ += value ? L"true" : L"false";
    needsComma_ = true;
}

void JsonText::Null()
{
    BeforeValue();
    text_ += L"null";
    needsComma_ = true;
}

void JsonText::Open(wchar_t bracket)
{
    BeforeValue();
    text_ += bracket;
}

void JsonText::Close(wchar_t bracket)
{
    text_ += bracket;
    needsComma_ = true;
}

// A value after a key follows its colon; any other follows a comma when one is due.
void JsonText::BeforeValue()
{
    if (!text_.empty() && text_.back() == L':') {
        needsComma_ = false;
        return;
    }
    if (needsComma_)
        text_ += L',';
    needsComma_ = false;
}

std::wstring JsonQuoted(const std::wstring& value)
{
    std::wstring quoted = L"\"";
    for (size_t i = 0; i < value.size(); ++i) {
        const wchar_t c = value[i];
        if (c == L'"' || c == L'\\') {
            quoted += L'\\';
            quoted += c;
        } else if (c == L'\n') {
            quoted += L"\\n";
        } else if (c == L'\r') {
            quoted += L"\\r";
        } else if (c == L'\t') {
            quoted += L"\\t";
        } else if (c < 0x20 || c == 0x7F) {
            wchar_t escape[8];
            swprintf(escape, 8, L"\\u%04x", static_cast<unsigned>(c));
            quoted += escape;
        } else if (IsHighSurrogate(c) && i + 1 < value.size() && IsLowSurrogate(value[i + 1])) {
            quoted += c;
            quoted += value[++i];
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            quoted += L"\\ufffd";
        } else {
            quoted += c;
        }
    }
    return quoted + L"\"";
}
