#include "foundation/CTextMgr.h"

#include "foundation/CcException.h"

#include <new>
#include <strsafe.h>
#include <wchar.h>

namespace {

// Turns every \r\n escape (backslash, r, backslash, n) into CR LF, in place.
void ExpandLineBreaks(wchar_t* text)
{
    wchar_t* out = text;
    for (const wchar_t* in = text; *in != L'\0';) {
        if (wcsncmp(in, L"\\r\\n", 4) == 0) {
            *out++ = L'\r';
            *out++ = L'\n';
            in += 4;
        } else {
            *out++ = *in++;
        }
    }
    *out = L'\0';
}

wchar_t* AllocateText(int capacity)
{
    return CheckAllocation(new (std::nothrow) wchar_t[capacity]);
}

} // namespace

CTextMgr::CTextMgr(const wchar_t* filePath, const wchar_t* section, int capacity)
    : capacity_(capacity > 0 ? capacity : 1)
{
    value_.reset(AllocateText(capacity_));
    value_[0] = L'\0';
    // A cut path would name another file: keep none instead.
    if (!filePath || FAILED(StringCchCopyW(filePath_, kPathChars, filePath)))
        filePath_[0] = L'\0';
    SetSection(section);
}

CTextMgr::~CTextMgr() = default;

void CTextMgr::SetSection(const wchar_t* section)
{
    StringCchCopyW(section_, kPathChars, section ? section : L"");
}

const wchar_t* CTextMgr::GetText(const wchar_t* key, const wchar_t* defaultText)
{
    ReadValue(key, defaultText, value_.get());
    return value_.get();
}

const wchar_t* CTextMgr::CopyText(const wchar_t* key, wchar_t* buffer, int capacity,
                                  const wchar_t* defaultText) const
{
    if (!buffer || capacity <= 0)
        return buffer;
    if (capacity >= capacity_) {
        ReadValue(key, defaultText, buffer);
        return buffer;
    }
    // Read at full length first, so that the cut falls where GetText's copy would.
    std::unique_ptr<wchar_t[]> value(AllocateText(capacity_));
    ReadValue(key, defaultText, value.get());
    StringCchCopyW(buffer, capacity, value.get());
    return buffer;
}

void CTextMgr::ReadValue(const wchar_t* key, const wchar_t* defaultText, wchar_t* value) const
{
    const wchar_t* fallback = defaultText ? defaultText : L"";
    value[0] = L'\0';
    // A null key would make the call list the names of the section's keys instead.
    if (key && filePath_[0] != L'\0')
        GetPrivateProfileStringW(section_, key, fallback, value, capacity_, filePath_);
    else
        StringCchCopyW(value, capacity_, fallback);
    ExpandLineBreaks(value);
}

std::wstring FillText(const std::wstring& text, std::initializer_list<std::wstring> values)
{
    std::wstring filled;
    auto next = values.begin();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] == L's' && next != values.end()) {
            filled += *next++;
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}
