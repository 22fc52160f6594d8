#pragma once

#include "foundation/Handle.h"

#include <string>
#include <vector>

// Small registry helpers of the simulated notebook, over std::wstring. Open and Create
// leave the registry's error as the last error when they fail.
namespace simreg {

RegKey Open(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ);
RegKey Create(HKEY parent, const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE);
bool Exists(HKEY parent, const std::wstring& path);
bool DeleteTree(HKEY parent, const std::wstring& path);

// Names of the direct subkeys, in the order the registry returns them.
std::vector<std::wstring> SubKeys(HKEY key);

// Reads return the fallback when the value is missing or of another type.
bool HasValue(HKEY key, const wchar_t* name);
std::wstring ReadString(HKEY key, const wchar_t* name, const std::wstring& fallback = std::wstring());
std::vector<std::wstring> ReadMultiString(HKEY key, const wchar_t* name);
DWORD ReadDword(HKEY key, const wchar_t* name, DWORD fallback = 0);
ULONGLONG ReadQword(HKEY key, const wchar_t* name, ULONGLONG fallback = 0);

bool WriteString(HKEY key, const wchar_t* name, const std::wstring& value);
bool WriteMultiString(HKEY key, const wchar_t* name, const std::vector<std::wstring>& values);
bool WriteDword(HKEY key, const wchar_t* name, DWORD value);
bool WriteQword(HKEY key, const wchar_t* name, ULONGLONG value);
bool DeleteValue(HKEY key, const wchar_t* name);

std::wstring GuidToString(const GUID& guid);
bool GuidFromString(const std::wstring& text, GUID& guid);

} // namespace simreg
