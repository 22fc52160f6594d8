#include "foundation/CcRegistry.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <string>
#include <utility>

namespace {

constexpr DWORD kKeyNameCapacity = 260;

bool IsText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A key created as a link holds its target in this value, of type REG_LINK.
bool IsLink(HKEY key)
{
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
           type == REG_LINK;
}

// The sub-key itself, not what it may link to: opened as a link, created when missing.
LONG OpenOrCreateAsLink(HKEY parent, const std::wstring& name, REGSAM access, RegKey& key)
{
    LONG result = RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access, key.Put());
    if (result != ERROR_FILE_NOT_FOUND)
        return result;
    wchar_t noClass[] = L"";
    RegKey created;
    result = RegCreateKeyExW(parent, name.c_str(), 0, noClass, REG_OPTION_NON_VOLATILE, access, nullptr,
                             created.Put(), nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    // Made a link since it was found missing, it was followed: open it again as itself.
    return RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access, key.Put());
}

} // namespace

CcRegistry::~CcRegistry() = default;

int CcRegistry::CreateKeyWithoutLinks(const wchar_t* subKey, HKEY root, REGSAM access)
{
    if (IsOpen() || !subKey || *subKey == L'\0')
        return 0;
    RegKey parent;
    HKEY current = root;
    for (const wchar_t* part = subKey;;) {
        const wchar_t* end = wcschr(part, L'\\');
        const bool last = end == nullptr;
        const std::wstring name = last ? std::wstring(part) : std::wstring(part, end);
        if (name.empty())
            return 0;
        RegKey key;
        const REGSAM stepAccess = KEY_QUERY_VALUE | (last ? access : KEY_CREATE_SUB_KEY);
        if (OpenOrCreateAsLink(current, name, stepAccess, key) != ERROR_SUCCESS || IsLink(key.Get()))
            return 0;
        if (last) {
            key_ = std::move(key);
            return 1;
        }
        parent = std::move(key);
        current = parent.Get();
        part = end + 1;
    }
}

int CcRegistry::CreateKey(const wchar_t* subKey, HKEY root, REGSAM access, DWORD options)
{
    if (IsOpen())
        return 0;
    wchar_t noClass[] = L"";
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(root, subKey, 0, noClass, options, access, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return 0;
    key_.Reset(key);
    return 1;
}

int CcRegistry::OpenKey(const wchar_t* subKey, HKEY root, REGSAM access)
{
    if (IsOpen())
        return 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey, 0, access, &key) != ERROR_SUCCESS)
        return 0;
    key_.Reset(key);
    return 1;
}

int CcRegistry::CloseKey(int flush)
{
    if (!IsOpen())
        return 1;
    int result = 1;
    if (flush && RegFlushKey(key_.Get()) != ERROR_SUCCESS)
        result = 0;
    if (RegCloseKey(key_.Release()) != ERROR_SUCCESS)
        result = 0;
    return result;
}

int CcRegistry::SetDWord(const wchar_t* name, DWORD value)
{
    return SetValue(name, &value, REG_DWORD, sizeof(value));
}

int CcRegistry::SetValue(const wchar_t* name, const void* data, DWORD type, DWORD bytes)
{
    if (!IsOpen())
        return 0;
    if (bytes == 0) {
        const wchar_t* text = data ? static_cast<const wchar_t*>(data) : L"";
        const size_t length = wcslen(text);
        if (length >= MAXDWORD / sizeof(wchar_t))
            return 0;
        bytes = static_cast<DWORD>((length + 1) * sizeof(wchar_t));
        data = text;
    }
    return RegSetValueExW(key_.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
}

int CcRegistry::DeleteValue(const wchar_t* name)
{
    return IsOpen() && RegDeleteValueW(key_.Get(), name) == ERROR_SUCCESS;
}

int CcRegistry::DeleteKey(const wchar_t* name)
{
    if (!IsOpen())
        return 0;
    if (RegDeleteKeyW(key_.Get(), name) == ERROR_SUCCESS)
        return 1;
    return DeleteKeyTree(name); // typically the key has sub-keys
}

// Deletes the children first, each before the next is enumerated, so index 0 always
// names the next one. The emptied key is deleted once, without falling back to
// DeleteKey: a key that still cannot be deleted ends the deletion with 0.
int CcRegistry::DeleteKeyTree(const wchar_t* name)
{
    CcRegistry child;
    if (!IsOpen() || !child.OpenKey(name, key_.Get(), KEY_ALL_ACCESS))
        return 0;
    for (;;) {
        wchar_t childName[kKeyNameCapacity];
        DWORD capacity = kKeyNameCapacity;
        FILETIME written;
        if (RegEnumKeyExW(child.key_.Get(), 0, childName, &capacity, nullptr, nullptr, nullptr, &written) !=
            ERROR_SUCCESS) {
            break;
        }
        if (!child.DeleteKeyTree(childName))
            return 0;
    }
    child.CloseKey(0);
    return RegDeleteKeyW(key_.Get(), name) == ERROR_SUCCESS;
}

DWORD CcRegistry::GetDWord(const wchar_t* name, DWORD defaultValue, int writeBack)
{
    if (!IsOpen())
        return defaultValue;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key_.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
        if (writeBack == 1)
            SetDWord(name, defaultValue);
        return defaultValue;
    }
    return type == REG_DWORD && size == sizeof(value) ? value : defaultValue;
}

CcString CcRegistry::GetString(const wchar_t* name, const wchar_t* defaultText, int writeBack, DWORD* type,
                               DWORD* bytes)
{
    if (!IsOpen())
        return CcString(defaultText);
    DWORD found = REG_NONE;
    DWORD size = 0;
    const LONG status = RegQueryValueExW(key_.Get(), name, nullptr, &found, nullptr, &size);
    if (bytes)
        *bytes = size;
    if (status == ERROR_SUCCESS && IsText(found)) {
        if (type)
            *type = found;
        // Stored text need not end with a null, and the value may change between the two
        // queries: the read is bounded by the buffer and ends where the data ends.
        const DWORD characters = std::min<DWORD>(size / 2 + size % 2, INT_MAX - 1);
        CcString text;
        wchar_t* buffer = text.BeginWrite(static_cast<int>(characters));
        const DWORD capacity = static_cast<DWORD>(text.GetCapacity());
        DWORD read = capacity * sizeof(wchar_t);
        if (RegQueryValueExW(key_.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &read) !=
            ERROR_SUCCESS) {
            read = 0;
        }
        if (capacity > 0)
            buffer[std::min(read / 2, capacity)] = L'\0';
        text.EndWrite(-1);
        return text;
    }
    if (writeBack && SetValue(name, defaultText, REG_SZ, 0)) {
        if (type)
            *type = REG_SZ;
        DWORD written = 0;
        if (bytes && RegQueryValueExW(key_.Get(), name, nullptr, nullptr, nullptr, &written) == ERROR_SUCCESS)
            *bytes = written;
    }
    return CcString(defaultText);
}
