#pragma once

// The machine-wide values that the service writes for the user programs (the
// device list and the companion flag) belong to the product. Tests that write
// them through the service keep a ScopedProductValues, which puts both keys
// back as they were: values added are removed, values changed are restored,
// and keys that did not exist are deleted again.

#include "automation/RegistrySnapshot.h"

#include <string>
#include <windows.h>

class ScopedProductValues {
public:
    ScopedProductValues();

private:
    RegistrySnapshot deviceList_;
    RegistrySnapshot companionFlag_;
};

// Record indexes of the device list for this test process, far above any real
// record: "%d_..." value names that no other process uses, and that the service
// refuses to write.
int TestRecordIndex(int slot);

// Opens the device list's last record to the test's writes: sets "DeviceNum" (as
// an administrator, not through the service) to that record's index, whose three
// values the service then writes with any text. Keep a ScopedProductValues.
// Returns the record's value name with the suffix ("_DeviceName", "_Class", "_HwId").
std::wstring OpenTestRecord(const wchar_t* suffix = L"_DeviceName");

// Reads a value of HKEY_LOCAL_MACHINE; false when it is missing.
bool ReadMachineString(const wchar_t* key, const std::wstring& name, std::wstring* text);
bool ReadMachineDWord(const wchar_t* key, const std::wstring& name, DWORD* number);
bool MachineKeyExists(const std::wstring& key);
