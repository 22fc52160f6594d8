#include "sim/SimRegistry.h"

#include <cstdio>
#include <cwchar>

namespace simreg {

RegKey Open(HKEY parent, const std::wstring& path, REGSAM access)
{
    RegKey key;
    const LSTATUS status = RegOpenKeyExW(parent, path.c_str(), 0, access, key.Put());
    if (status != ERROR_SUCCESS) {
        key.Reset();
        SetLastError(static_cast<DWORD>(status));
    }
    return key;
}

RegKey Create(HKEY parent, const std::wstring& path, DWORD options)
{
    RegKey key;
    const LSTATUS status =
        RegCreateKeyExW(parent, path.c_str(), 0, nullptr, options, KEY_READ | KEY_WRITE, nullptr, key.Put(), nullptr);
    if (status != ERROR_SUCCESS) {
        key.Reset();
        SetLastError(static_cast<DWORD>(status));
    }
    return key;
}

bool Exists(HKEY parent, const std::wstring& path)
{
    return Open(parent, path).IsValid();
}

bool DeleteTree(HKEY parent, const std::wstring& path)
{
    const LSTATUS status = RegDeleteTreeW(parent, path.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return false;
    // RegDeleteTreeW empties the key; the key itself goes with RegDeleteKeyW.
    const LSTATUS removed = RegDeleteKeyW(parent, path.c_str());
    return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
}

std::vector<std::wstring> SubKeys(HKEY key)
{
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = ARRAYSIZE(name);
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

bool HasValue(HKEY key, const wchar_t* name)
{
    return RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

namespace {

// Reads a string-typed value whole; false when missing or of another type.
bool ReadChars(HKEY key, const wchar_t* name, DWORD expectedType, std::wstring& chars)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != expectedType)
        return false;
    chars.assign(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&chars[0]), &size) != ERROR_SUCCESS)
        return false;
    chars.resize(size / sizeof(wchar_t));
    return true;
}

} // namespace

std::wstring ReadString(HKEY key, const wchar_t* name, const std::wstring& fallback)
{
    std::wstring chars;
    if (!ReadChars(key, name, REG_SZ, chars))
        return fallback;
    chars.resize(wcsnlen(chars.c_str(), chars.size()));
    return chars;
}

std::vector<std::wstring> ReadMultiString(HKEY key, const wchar_t* name)
{
    std::vector<std::wstring> values;
    std::wstring chars;
    if (!ReadChars(key, name, REG_MULTI_SZ, chars))
        return values;
    for (size_t start = 0; start < chars.size();) {
        const size_t end = chars.find(L'\0', start);
        const size_t stop = end == std::wstring::npos ? chars.size() : end;
        if (stop == start)
            break;
        values.push_back(chars.substr(start, stop - start));
        start = stop + 1;
    }
    return values;
}

DWORD ReadDword(HKEY key, const wchar_t* name, DWORD fallback)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return fallback;
    return value;
}

ULONGLONG ReadQword(HKEY key, const wchar_t* name, ULONGLONG fallback)
{
    DWORD type = 0;
    ULONGLONG value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_QWORD)
        return fallback;
    return value;
}

bool WriteString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool WriteMultiString(HKEY key, const wchar_t* name, const std::vector<std::wstring>& values)
{
    std::wstring chars;
    for (const std::wstring& value : values) {
        chars += value;
        chars += L'\0';
    }
    chars += L'\0';
    return RegSetValueExW(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(chars.data()),
                          static_cast<DWORD>(chars.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool WriteDword(HKEY key, const wchar_t* name, DWORD value)
{
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

bool WriteQword(HKEY key, const wchar_t* name, ULONGLONG value)
{
    return RegSetValueExW(key, name, 0, REG_QWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

bool DeleteValue(HKEY key, const wchar_t* name)
{
    const LSTATUS status = RegDeleteValueW(key, name);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::wstring GuidToString(const GUID& guid)
{
    wchar_t text[39];
    swprintf(text, ARRAYSIZE(text), L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

bool GuidFromString(const std::wstring& text, GUID& guid)
{
    unsigned long data1 = 0;
    unsigned int data2 = 0, data3 = 0, bytes[8] = {};
    wchar_t close = 0;
    if (text.size() != 38 ||
        swscanf(text.c_str(), L"{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x%lc", &data1, &data2, &data3, &bytes[0],
                &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7], &close) != 12 ||
        close != L'}')
        return false;
    guid.Data1 = data1;
    guid.Data2 = static_cast<unsigned short>(data2);
    guid.Data3 = static_cast<unsigned short>(data3);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<unsigned char>(bytes[i]);
    return true;
}

} // namespace simreg
