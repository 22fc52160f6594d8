#include "tests/service/ProductValues.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"

ScopedProductValues::ScopedProductValues()
{
    snapshots_.push_back(Take(kDeviceListKey));
    snapshots_.push_back(Take(kCompanionFlagKey));
}

ScopedProductValues::~ScopedProductValues()
{
    for (const Snapshot& snapshot : snapshots_)
        Restore(snapshot);
}

ScopedProductValues::Snapshot ScopedProductValues::Take(const wchar_t* path)
{
    Snapshot snapshot;
    snapshot.path = path;
    for (size_t end = snapshot.path.find(L'\\');; end = snapshot.path.find(L'\\', end + 1)) {
        const std::wstring prefix = snapshot.path.substr(0, end);
        if (!MachineKeyExists(prefix)) {
            snapshot.firstMissing = prefix;
            return snapshot;
        }
        if (end == std::wstring::npos)
            break;
    }
    RegKey key;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Put());
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameChars = ARRAYSIZE(name);
        BYTE data[4096];
        DWORD bytes = sizeof(data);
        DWORD type = REG_NONE;
        if (RegEnumValueW(key.Get(), i, name, &nameChars, nullptr, &type, data, &bytes) != ERROR_SUCCESS)
            break;
        snapshot.values.push_back({name, type, std::vector<BYTE>(data, data + bytes)});
    }
    return snapshot;
}

void ScopedProductValues::Restore(const Snapshot& snapshot)
{
    if (!snapshot.firstMissing.empty()) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, snapshot.firstMissing.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, snapshot.firstMissing.c_str());
        return;
    }
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, snapshot.path.c_str(), 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> present;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameChars = ARRAYSIZE(name);
        if (RegEnumValueW(key.Get(), i, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        present.push_back(name);
    }
    for (const std::wstring& name : present)
        RegDeleteValueW(key.Get(), name.c_str());
    for (const Value& value : snapshot.values) {
        RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    }
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
