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

namespace {

std::wstring DeviceValueName(DWORD number)
{
    wchar_t name[16];
    swprintf(name, ARRAYSIZE(name), L"%04lu", static_cast<unsigned long>(number));
    return name;
}

std::wstring Entry(const wchar_t* name, const std::wstring& value)
{
    return std::wstring(name) + L"=" + value;
}

std::wstring Entry(const wchar_t* name, DWORD value)
{
    return Entry(name, std::to_wstring(value));
}

// Bit sets read best in hexadecimal.
std::wstring HexEntry(const wchar_t* name, DWORD value)
{
    wchar_t text[16];
    swprintf(text, ARRAYSIZE(text), L"0x%lX", static_cast<unsigned long>(value));
    return Entry(name, text);
}

// A device is one REG_MULTI_SZ value of "Name=Value" entries: one registry read per device.
std::vector<std::wstring> EncodeDevice(const SimDevice& device)
{
    std::vector<std::wstring> entries = {
        Entry(kInstanceId, device.instanceId),
        Entry(kEnumerator, device.enumerator),
        Entry(kClass, device.className),
        Entry(kClassGuid, simreg::GuidToString(device.classGuid)),
    };
    for (const std::wstring& id : device.hardwareIds)
        entries.push_back(Entry(kHardwareId, id));
    if (device.friendlyName)
        entries.push_back(Entry(kFriendlyName, *device.friendlyName));
    entries.push_back(Entry(kDeviceDesc, device.description));
    entries.push_back(Entry(kPresent, device.present));
    entries.push_back(Entry(kDisabledGlobal, device.disabledGlobal));
    entries.push_back(Entry(kDisabledConfig, device.disabledConfig));
    entries.push_back(Entry(kProblem, device.problem));
    entries.push_back(HexEntry(kCapabilities, device.capabilities));
    entries.push_back(Entry(kRestartOnChange, device.restartOnChange));
    if (device.pendingDisabled)
        entries.push_back(Entry(kPendingDisabled, *device.pendingDisabled));
    entries.push_back(Entry(kLatencyMs, device.latencyMs));
    entries.push_back(Entry(kParent, device.parent));
    entries.push_back(HexEntry(kFailures, device.failures));
    return entries;
}

SimDevice DecodeDevice(DWORD number, const std::vector<std::wstring>& entries)
{
    SimDevice device;
    device.number = number;
    device.capabilities = 0;
    for (const std::wstring& entry : entries) {
        const size_t equals = entry.find(L'=');
        if (equals == std::wstring::npos)
            continue;
        const std::wstring name = entry.substr(0, equals);
        const std::wstring value = entry.substr(equals + 1);
        const DWORD numeric = wcstoul(value.c_str(), nullptr, 0);
        if (name == kInstanceId)
            device.instanceId = value;
        else if (name == kEnumerator)
            device.enumerator = value;
        else if (name == kClass)
            device.className = value;
        else if (name == kClassGuid)
            simreg::GuidFromString(value, device.classGuid);
        else if (name == kHardwareId)
            device.hardwareIds.push_back(value);
        else if (name == kFriendlyName)
            device.friendlyName = value;
        else if (name == kDeviceDesc)
            device.description = value;
        else if (name == kPresent)
            device.present = numeric != 0;
        else if (name == kDisabledGlobal)
            device.disabledGlobal = numeric != 0;
        else if (name == kDisabledConfig)
            device.disabledConfig = numeric != 0;
        else if (name == kProblem)
            device.problem = numeric;
        else if (name == kCapabilities)
            device.capabilities = numeric;
        else if (name == kRestartOnChange)
            device.restartOnChange = numeric != 0;
        else if (name == kPendingDisabled)
            device.pendingDisabled = numeric != 0;
        else if (name == kLatencyMs)
            device.latencyMs = numeric;
        else if (name == kParent)
            device.parent = numeric;
        else if (name == kFailures)
            device.failures = numeric;
    }
    return device;
}

bool Passes(const SimDevice& device, const CSimNotebook::DeviceFilter& filter)
{
    return (!filter.presentOnly || device.present) && (!filter.classGuid || device.classGuid == *filter.classGuid) &&
           (!filter.enumerator || SameText(device.enumerator, filter.enumerator));
}

} // namespace

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
    return WriteDevice(device) ? device.number : 0;
}

bool CSimNotebook::WriteDevice(const SimDevice& device)
{
    RegKey devices = CreateSub(kDevices);
    return devices &&
           simreg::WriteMultiString(devices.Get(), DeviceValueName(device.number).c_str(), EncodeDevice(device));
}

bool CSimNotebook::ReadDevice(DWORD number, SimDevice& device) const
{
    RegKey devices = OpenSub(kDevices);
    const std::wstring name = DeviceValueName(number);
    if (number == 0 || !devices || !simreg::HasValue(devices.Get(), name.c_str()))
        return false;
    device = DecodeDevice(number, simreg::ReadMultiString(devices.Get(), name.c_str()));
    return true;
}

std::vector<SimDevice> CSimNotebook::Devices(const DeviceFilter& filter) const
{
    std::vector<SimDevice> devices;
    RegKey collection = OpenSub(kDevices);
    DWORD nameChars = 0;
    DWORD dataBytes = 0;
    if (!collection || RegQueryInfoKeyW(collection.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, &nameChars, &dataBytes, nullptr, nullptr) != ERROR_SUCCESS)
        return devices;
    std::wstring name(nameChars + 1, L'\0');
    std::wstring data(dataBytes / sizeof(wchar_t) + 2, L'\0'); // room for two more terminators
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>((data.size() - 2) * sizeof(wchar_t));
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(collection.Get(), index, &name[0], &nameLength, nullptr, &type,
                                             reinterpret_cast<BYTE*>(&data[0]), &size);
        if (status == ERROR_MORE_DATA) { // another process added to the collection meanwhile
            name.assign(name.size() * 2, L'\0');
            data.assign(std::max<size_t>(data.size() * 2, size / sizeof(wchar_t) + 2), L'\0');
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        const DWORD number = wcstoul(name.c_str(), nullptr, 10);
        if (type != REG_MULTI_SZ || number == 0)
            continue; // the collection's counter
        data[size / sizeof(wchar_t)] = L'\0';
        data[size / sizeof(wchar_t) + 1] = L'\0';
        std::vector<std::wstring> entries;
        for (const wchar_t* entry = data.c_str(); *entry != L'\0'; entry += wcslen(entry) + 1)
            entries.emplace_back(entry);
        SimDevice device = DecodeDevice(number, entries);
        if (Passes(device, filter))
            devices.push_back(std::move(device));
    }
    std::sort(devices.begin(), devices.end(),
              [](const SimDevice& a, const SimDevice& b) { return a.number < b.number; });
    return devices;
}

DWORD CSimNotebook::FindDevice(const std::wstring& numberOrInstanceId) const
{
    SimDevice device;
    if (!numberOrInstanceId.empty() &&
        std::all_of(numberOrInstanceId.begin(), numberOrInstanceId.end(), [](wchar_t c) { return iswdigit(c); })) {
        const DWORD number = wcstoul(numberOrInstanceId.c_str(), nullptr, 10);
        return ReadDevice(number, device) ? number : 0;
    }
    for (const SimDevice& candidate : Devices()) {
        if (SameText(candidate.instanceId, numberOrInstanceId.c_str()))
            return candidate.number;
    }
    return 0;
}

int CSimNotebook::SetDisabled(DWORD number, bool disabledGlobal, bool disabledConfig)
{
    const int done = UpdateDevice(number, [&](SimDevice& device) {
        device.disabledGlobal = disabledGlobal;
        device.disabledConfig = disabledConfig;
    });
    UpdateChildren(number);
    return done;
}

int CSimNotebook::SetPresent(DWORD number, bool present)
{
    const int done = UpdateDevice(number, [&](SimDevice& device) { device.present = present; });
    UpdateChildren(number);
    return done;
}

void CSimNotebook::UpdateChildren(DWORD number)
{
    const bool works = IsDeviceWorking(number);
    for (const SimDevice& child : Devices()) {
        if (child.parent == number && child.number != number && child.present != works)
            SetPresent(child.number, works);
    }
}

int CSimNotebook::SetLatency(DWORD number, DWORD latencyMs)
{
    return UpdateDevice(number, [&](SimDevice& device) { device.latencyMs = latencyMs; });
}

int CSimNotebook::SetPendingChange(DWORD number, std::optional<bool> pendingDisabled)
{
    return UpdateDevice(number, [&](SimDevice& device) { device.pendingDisabled = pendingDisabled; });
}

int CSimNotebook::SetRestartOnChange(DWORD number, bool restartOnChange)
{
    return UpdateDevice(number, [&](SimDevice& device) { device.restartOnChange = restartOnChange; });
}

int CSimNotebook::Restart()
{
    int result = 1;
    for (const SimDevice& device : Devices()) {
        if (!device.pendingDisabled)
            continue;
        const bool disabled = *device.pendingDisabled;
        const bool changes = disabled != device.Disabled();
        if (!UpdateDevice(device.number, [](SimDevice& pending) { pending.pendingDisabled.reset(); }) ||
            !SetDisabled(device.number, false, disabled) || (changes && !RecordStateChange(device.number, disabled)))
            result = 0;
    }
    return result;
}

int CSimNotebook::SetProblem(DWORD number, ULONG problem)
{
    return UpdateDevice(number, [&](SimDevice& device) { device.problem = problem; });
}

int CSimNotebook::SetFailures(DWORD number, DWORD failures)
{
    return UpdateDevice(number, [&](SimDevice& device) { device.failures = failures; });
}

bool CSimNotebook::IsDeviceWorking(DWORD number) const
{
    SimDevice device;
    return ReadDevice(number, device) && device.present && !device.Disabled() && device.problem == 0;
}

int CSimNotebook::RecordStateChange(DWORD number, bool disabled)
{
    if (!root_)
        return 0;
    std::vector<std::wstring> changes = simreg::ReadMultiString(root_.Get(), kStateChanges);
    changes.push_back(std::to_wstring(number) + (disabled ? L"=disabled" : L"=enabled"));
    return simreg::WriteMultiString(root_.Get(), kStateChanges, changes) ? 1 : 0;
}

std::vector<SimStateChange> CSimNotebook::StateChanges() const
{
    std::vector<SimStateChange> changes;
    if (!root_)
        return changes;
    for (const std::wstring& entry : simreg::ReadMultiString(root_.Get(), kStateChanges)) {
        SimStateChange change;
        change.device = wcstoul(entry.c_str(), nullptr, 10);
        change.disabled = entry.compare(entry.find(L'=') + 1, std::wstring::npos, L"disabled") == 0;
        changes.push_back(change);
    }
    return changes;
}

int CSimNotebook::RecordInstallerCall(const SimInstallerCall& call)
{
    if (!root_)
        return 0;
    std::vector<std::wstring> calls = simreg::ReadMultiString(root_.Get(), kInstallerCalls);
    calls.push_back(std::to_wstring(call.device) + (call.enable ? L" enable " : L" disable ") + call.outcome +
                    (call.quiet ? L"" : L" (not quiet)"));
    return simreg::WriteMultiString(root_.Get(), kInstallerCalls, calls) ? 1 : 0;
}

std::vector<SimInstallerCall> CSimNotebook::InstallerCalls() const
{
    std::vector<SimInstallerCall> calls;
    if (!root_)
        return calls;
    for (const std::wstring& entry : simreg::ReadMultiString(root_.Get(), kInstallerCalls)) {
        SimInstallerCall call;
        call.device = wcstoul(entry.c_str(), nullptr, 10);
        const size_t verb = entry.find(L' ');
        const size_t outcome = verb == std::wstring::npos ? verb : entry.find(L' ', verb + 1);
        if (outcome == std::wstring::npos)
            continue;
        call.enable = entry.compare(verb + 1, outcome - verb - 1, L"enable") == 0;
        call.outcome = entry.substr(outcome + 1);
        constexpr wchar_t kNotQuiet[] = L" (not quiet)";
        const size_t mark = call.outcome.rfind(kNotQuiet);
        call.quiet = mark == std::wstring::npos || mark + wcslen(kNotQuiet) != call.outcome.size();
        if (!call.quiet)
            call.outcome.erase(mark);
        calls.push_back(call);
    }
    return calls;
}

int CSimNotebook::ClearInstallerCalls()
{
    if (!root_)
        return 0;
    const LSTATUS status = RegDeleteValueW(root_.Get(), kInstallerCalls);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 1 : 0;
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
