#include "sim/SimNotebook.h"

#include "sim/SimLayout.h"
#include "sim/SimRegistry.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

using namespace simlayout;

namespace {

std::wstring NumberedKey(const wchar_t* collection, DWORD number)
{
    wchar_t name[16];
    swprintf(name, ARRAYSIZE(name), L"%04lu", static_cast<unsigned long>(number));
    return std::wstring(collection) + L"\\" + name;
}

// The numbers of a collection's keys, in ascending order (key names sort as text).
std::vector<DWORD> Numbers(HKEY collection)
{
    std::vector<DWORD> numbers;
    for (const std::wstring& name : simreg::SubKeys(collection)) {
        const DWORD number = wcstoul(name.c_str(), nullptr, 10);
        if (number != 0)
            numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

bool SameText(const std::wstring& a, const wchar_t* b)
{
    return lstrcmpiW(a.c_str(), b) == 0;
}

ULONGLONG Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

} // namespace

CSimNotebook::CSimNotebook() : root_(simreg::Create(HKEY_LOCAL_MACHINE, RootPath())) {}

std::wstring CSimNotebook::RootPath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(kRootOverrideVariable, path, ARRAYSIZE(path));
    if (length > 0 && length < ARRAYSIZE(path))
        return path;
    return kDefaultRoot;
}

RegKey CSimNotebook::OpenSub(const std::wstring& path, REGSAM access) const
{
    return simreg::Open(root_.Get(), path, access);
}

RegKey CSimNotebook::CreateSub(const std::wstring& path) const
{
    return simreg::Create(root_.Get(), path);
}

DWORD CSimNotebook::NextNumber(const wchar_t* collection)
{
    RegKey key = CreateSub(collection);
    if (!key)
        return 0;
    const DWORD number = std::max<DWORD>(simreg::ReadDword(key.Get(), kNextNumber, 1), 1);
    return simreg::WriteDword(key.Get(), kNextNumber, number + 1) ? number : 0;
}

int CSimNotebook::Clear()
{
    if (!root_)
        return 0;
    for (const std::wstring& path : simreg::ReadMultiString(root_.Get(), kOwnedKeys))
        simreg::DeleteTree(HKEY_LOCAL_MACHINE, path);
    // The root key itself stays, so that other processes' handles to it stay valid.
    return RegDeleteTreeW(root_.Get(), nullptr) == ERROR_SUCCESS ? 1 : 0;
}

int CSimNotebook::AddClass(const std::wstring& name, const GUID& guid)
{
    if (name.empty() || name.find(L'\\') != std::wstring::npos)
        return 0;
    RegKey key = CreateSub(std::wstring(kClasses) + L"\\" + name);
    if (!key)
        return 0;
    std::vector<std::wstring> guids = simreg::ReadMultiString(key.Get(), kGuids);
    const std::wstring text = simreg::GuidToString(guid);
    if (std::find(guids.begin(), guids.end(), text) == guids.end())
        guids.push_back(text);
    return simreg::WriteMultiString(key.Get(), kGuids, guids) ? 1 : 0;
}

std::vector<GUID> CSimNotebook::ClassGuids(const std::wstring& name) const
{
    std::vector<GUID> guids;
    if (name.empty() || name.find(L'\\') != std::wstring::npos)
        return guids;
    RegKey key = OpenSub(std::wstring(kClasses) + L"\\" + name);
    if (!key)
        return guids;
    for (const std::wstring& text : simreg::ReadMultiString(key.Get(), kGuids)) {
        GUID guid;
        if (simreg::GuidFromString(text, guid))
            guids.push_back(guid);
    }
    return guids;
}

std::vector<std::wstring> CSimNotebook::ClassNames() const
{
    RegKey key = OpenSub(kClasses);
    return key ? simreg::SubKeys(key.Get()) : std::vector<std::wstring>();
}

DWORD CSimNotebook::AddDevice(SimDevice device)
{
    if (device.className.empty())
        return 0;
    if (device.classGuid == GUID()) {
        const std::vector<GUID> guids = ClassGuids(device.className);
        if (guids.empty())
            return 0;
        device.classGuid = guids.front();
    } else if (!AddClass(device.className, device.classGuid)) {
        return 0;
    }
    device.number = NextNumber(kDevices);
    if (device.number == 0)
        return 0;
    if (device.instanceId.empty()) {
        const std::wstring base = device.hardwareIds.empty() ? device.enumerator : device.hardwareIds.front();
        device.instanceId = base + L"\\" + std::to_wstring(device.number);
    }
    RegKey key = CreateSub(NumberedKey(kDevices, device.number));
    if (!key)
        return 0;
    const HKEY k = key.Get();
    bool written = simreg::WriteString(k, kInstanceId, device.instanceId) &&
                   simreg::WriteString(k, kEnumerator, device.enumerator) &&
                   simreg::WriteString(k, kClass, device.className) &&
                   simreg::WriteString(k, kClassGuid, simreg::GuidToString(device.classGuid)) &&
                   simreg::WriteMultiString(k, kHardwareId, device.hardwareIds) &&
                   simreg::WriteString(k, kDeviceDesc, device.description) &&
                   simreg::WriteDword(k, kPresent, device.present) &&
                   simreg::WriteDword(k, kDisabledGlobal, device.disabledGlobal) &&
                   simreg::WriteDword(k, kDisabledConfig, device.disabledConfig) &&
                   simreg::WriteDword(k, kProblem, device.problem) &&
                   simreg::WriteDword(k, kCapabilities, device.capabilities) &&
                   simreg::WriteDword(k, kRestartOnChange, device.restartOnChange) &&
                   simreg::WriteDword(k, kFailures, device.failures);
    if (device.friendlyName)
        written = written && simreg::WriteString(k, kFriendlyName, *device.friendlyName);
    return written ? device.number : 0;
}

RegKey CSimNotebook::OpenDevice(DWORD number, REGSAM access) const
{
    return number == 0 ? RegKey() : OpenSub(NumberedKey(kDevices, number), access);
}

namespace {

// Loads one device key. The filter's values are read first, so that a device of
// another class costs three reads.
bool LoadDevice(HKEY key, DWORD number, const CSimNotebook::DeviceFilter& filter, SimDevice& device)
{
    device = SimDevice();
    device.number = number;
    device.present = simreg::ReadDword(key, kPresent) != 0;
    if (filter.presentOnly && !device.present)
        return false;
    if (!simreg::GuidFromString(simreg::ReadString(key, kClassGuid), device.classGuid) ||
        (filter.classGuid && device.classGuid != *filter.classGuid))
        return false;
    device.enumerator = simreg::ReadString(key, kEnumerator);
    if (filter.enumerator && !SameText(device.enumerator, filter.enumerator))
        return false;
    device.instanceId = simreg::ReadString(key, kInstanceId);
    device.className = simreg::ReadString(key, kClass);
    device.hardwareIds = simreg::ReadMultiString(key, kHardwareId);
    if (simreg::HasValue(key, kFriendlyName))
        device.friendlyName = simreg::ReadString(key, kFriendlyName);
    device.description = simreg::ReadString(key, kDeviceDesc);
    device.disabledGlobal = simreg::ReadDword(key, kDisabledGlobal) != 0;
    device.disabledConfig = simreg::ReadDword(key, kDisabledConfig) != 0;
    device.problem = simreg::ReadDword(key, kProblem);
    device.capabilities = simreg::ReadDword(key, kCapabilities);
    device.restartOnChange = simreg::ReadDword(key, kRestartOnChange) != 0;
    device.failures = simreg::ReadDword(key, kFailures);
    return true;
}

} // namespace

bool CSimNotebook::ReadDevice(DWORD number, SimDevice& device) const
{
    RegKey key = OpenDevice(number, KEY_READ);
    return key && LoadDevice(key.Get(), number, DeviceFilter(), device);
}

std::vector<SimDevice> CSimNotebook::Devices(const DeviceFilter& filter) const
{
    std::vector<SimDevice> devices;
    RegKey collection = OpenSub(kDevices);
    if (!collection)
        return devices;
    for (DWORD number : Numbers(collection.Get())) {
        RegKey key = OpenDevice(number, KEY_READ);
        SimDevice device;
        if (key && LoadDevice(key.Get(), number, filter, device))
            devices.push_back(std::move(device));
    }
    return devices;
}

DWORD CSimNotebook::FindDevice(const std::wstring& numberOrInstanceId) const
{
    if (!numberOrInstanceId.empty() &&
        std::all_of(numberOrInstanceId.begin(), numberOrInstanceId.end(), [](wchar_t c) { return iswdigit(c); })) {
        const DWORD number = wcstoul(numberOrInstanceId.c_str(), nullptr, 10);
        return OpenDevice(number, KEY_READ) ? number : 0;
    }
    for (const SimDevice& device : Devices()) {
        if (SameText(device.instanceId, numberOrInstanceId.c_str()))
            return device.number;
    }
    return 0;
}

int CSimNotebook::SetDisabled(DWORD number, bool disabledGlobal, bool disabledConfig)
{
    RegKey key = OpenDevice(number, KEY_WRITE);
    return key && simreg::WriteDword(key.Get(), kDisabledGlobal, disabledGlobal) &&
                   simreg::WriteDword(key.Get(), kDisabledConfig, disabledConfig)
               ? 1
               : 0;
}

int CSimNotebook::SetPresent(DWORD number, bool present)
{
    RegKey key = OpenDevice(number, KEY_WRITE);
    return key && simreg::WriteDword(key.Get(), kPresent, present) ? 1 : 0;
}

int CSimNotebook::SetProblem(DWORD number, ULONG problem)
{
    RegKey key = OpenDevice(number, KEY_WRITE);
    return key && simreg::WriteDword(key.Get(), kProblem, problem) ? 1 : 0;
}

int CSimNotebook::SetFailures(DWORD number, DWORD failures)
{
    RegKey key = OpenDevice(number, KEY_WRITE);
    return key && simreg::WriteDword(key.Get(), kFailures, failures) ? 1 : 0;
}

bool CSimNotebook::IsDeviceWorking(DWORD number) const
{
    RegKey key = OpenDevice(number, KEY_READ);
    return key && simreg::ReadDword(key.Get(), kPresent) != 0 && simreg::ReadDword(key.Get(), kDisabledGlobal) == 0 &&
           simreg::ReadDword(key.Get(), kDisabledConfig) == 0 && simreg::ReadDword(key.Get(), kProblem) == 0;
}

DWORD CSimNotebook::AddInterface(const GUID& interfaceGuid, const std::wstring& path, bool present)
{
    const DWORD number = NextNumber(kInterfaces);
    RegKey key = number ? CreateSub(NumberedKey(kInterfaces, number)) : RegKey();
    const bool written = key && simreg::WriteString(key.Get(), kGuid, simreg::GuidToString(interfaceGuid)) &&
                         simreg::WriteString(key.Get(), kPath, path) &&
                         simreg::WriteDword(key.Get(), kPresent, present);
    return written ? number : 0;
}

std::vector<SimInterface> CSimNotebook::Interfaces() const
{
    std::vector<SimInterface> interfaces;
    RegKey collection = OpenSub(kInterfaces);
    if (!collection)
        return interfaces;
    const ULONGLONG now = Now();
    for (DWORD number : Numbers(collection.Get())) {
        RegKey key = OpenSub(NumberedKey(kInterfaces, number));
        SimInterface entry;
        if (!key || !simreg::GuidFromString(simreg::ReadString(key.Get(), kGuid), entry.interfaceGuid))
            continue;
        entry.number = number;
        entry.path = simreg::ReadString(key.Get(), kPath);
        const ULONGLONG changeAt = simreg::ReadQword(key.Get(), kChangeAt);
        const wchar_t* presence = changeAt != 0 && now >= changeAt ? kPresentAfter : kPresent;
        entry.present = simreg::ReadDword(key.Get(), presence) != 0;
        interfaces.push_back(std::move(entry));
    }
    return interfaces;
}

int CSimNotebook::ScheduleInterfaces(const GUID& interfaceGuid, bool present, DWORD delayMs)
{
    const ULONGLONG changeAt = Now() + static_cast<ULONGLONG>(delayMs) * 10000;
    int result = 1;
    for (const SimInterface& entry : Interfaces()) {
        if (entry.interfaceGuid != interfaceGuid)
            continue;
        RegKey key = OpenSub(NumberedKey(kInterfaces, entry.number), KEY_WRITE);
        // The interface keeps what it shows now until the change is due.
        const bool written = key && simreg::WriteDword(key.Get(), kPresent, entry.present) &&
                             (delayMs == 0 ? simreg::WriteDword(key.Get(), kPresent, present) &&
                                                 simreg::DeleteValue(key.Get(), kChangeAt)
                                           : simreg::WriteDword(key.Get(), kPresentAfter, present) &&
                                                 simreg::WriteQword(key.Get(), kChangeAt, changeAt));
        if (!written)
            result = 0;
    }
    return result;
}
