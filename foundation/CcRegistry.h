#pragma once

#include "foundation/CcString.h"
#include "foundation/Handle.h"

#include <windows.h>

// One open registry key at a time. Operations return 1 on success and 0 on
// failure; reads return the caller's default instead of failing, also when no
// key is open. A create or open on an open object fails and leaves it as it was.
class CcRegistry {
public:
    CcRegistry() = default;
    virtual ~CcRegistry();
    CcRegistry(const CcRegistry&) = delete;
    CcRegistry& operator=(const CcRegistry&) = delete;

    int CreateKey(const wchar_t* subKey, HKEY root, REGSAM access, DWORD options = REG_OPTION_NON_VOLATILE);
    int OpenKey(const wchar_t* subKey, HKEY root, REGSAM access);
    // As CreateKey, but fails rather than follow a symbolic link at any step of
    // the path: a key that someone made a link would redirect the write.
    int CreateKeyWithoutLinks(const wchar_t* subKey, HKEY root, REGSAM access);
    int CloseKey(int flush = 0);

    int SetDWord(const wchar_t* name, DWORD value);
    // A byte count of 0 means that data is a wide string, stored with its terminator.
    int SetValue(const wchar_t* name, const void* data, DWORD type, DWORD bytes);
    int DeleteValue(const wchar_t* name);
    // Deletes the sub-key, and its whole subtree when it has one.
    int DeleteKey(const wchar_t* name);
    int DeleteKeyTree(const wchar_t* name);

    // With writeBack 1, a value that is missing or larger than 4 bytes is replaced by the default.
    DWORD GetDWord(const wchar_t* name, DWORD defaultValue, int writeBack);
    // Reads REG_SZ, REG_EXPAND_SZ (unexpanded) and the first string of REG_MULTI_SZ. With
    // writeBack non-zero, a missing or non-text value is replaced by the default as REG_SZ.
    CcString GetString(const wchar_t* name, const wchar_t* defaultText, int writeBack,
                       DWORD* type = nullptr, DWORD* bytes = nullptr);

    HKEY GetHandle() const { return key_.Get(); }
    bool IsOpen() const { return key_.IsValid(); }

private:
    RegKey key_;
};
