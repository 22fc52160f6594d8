#include "tests/service/ProductValues.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"

ScopedProductValues::ScopedProductValues()
    : deviceList_(HKEY_LOCAL_MACHINE, kDeviceListKey), companionFlag_(HKEY_LOCAL_MACHINE, kCompanionFlagKey)
{
}

int TestRecordIndex(int slot)
{
    return 1000000000 + static_cast<int>(GetCurrentProcessId() % 1000) * 1000000 + slot;
}

std::wstring OpenTestRecord(const wchar_t* suffix)
{
    const DWORD index = kMostDeviceRecords - 1;
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kDeviceListKey, kDeviceNumValue, REG_DWORD, &index, sizeof(index));
    return std::to_wstring(index) + suffix;
}

bool ReadMachineString(const wchar_t* key, const std::wstring& name, std::wstring* text)
{
    wchar_t buffer[1024];
    DWORD bytes = sizeof(buffer);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return false;
    *text = buffer;
    return true;
}

bool ReadMachineDWord(const wchar_t* key, const std::wstring& name, DWORD* number)
{
    DWORD bytes = sizeof(*number);
    return RegGetValueW(HKEY_LOCAL_MACHINE, key, name.c_str(), RRF_RT_REG_DWORD, nullptr, number, &bytes) ==
           ERROR_SUCCESS;
}

bool MachineKeyExists(const std::wstring& key)
{
    RegKey opened;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, opened.Put()) == ERROR_SUCCESS;
}
