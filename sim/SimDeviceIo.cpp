// The simulated binding's device I/O: the Bluetooth control device, the NDIS
// adapters and the DOS device names that reach them.
#include "sim/SimDeviceApi.h"

#include "devices/BtSwCodes.h"
#include "sim/SimDeviceObjects.h"

#include <ntddndis.h>

#include <algorithm>
#include <cstring>

namespace {

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

HANDLE FailOpen(DWORD error)
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

constexpr wchar_t kDosDevicePrefix[] = L"\\\\.\\";
constexpr wchar_t kDeviceTargetPrefix[] = L"\\Device\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    const size_t length = wcslen(prefix);
    return text.size() > length && CompareStringOrdinal(text.c_str(), static_cast<int>(length), prefix,
                                                        static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

bool Reads(DWORD access)
{
    return (access & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) != 0;
}

bool Writes(DWORD access)
{
    return (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA)) != 0;
}

// Whether a second open of the same device is refused by the first one's share mode or its own.
bool SharingConflict(DWORD accessA, DWORD shareA, DWORD accessB, DWORD shareB)
{
    return (Reads(accessA) && !(shareB & FILE_SHARE_READ)) || (Writes(accessA) && !(shareB & FILE_SHARE_WRITE)) ||
           (Reads(accessB) && !(shareA & FILE_SHARE_READ)) || (Writes(accessB) && !(shareA & FILE_SHARE_WRITE));
}

// An adapter answers only while the device behind it works.
bool FindReachableAdapter(const CSimNotebook& notebook, const std::wstring& serviceName, SimNdisAdapter& adapter)
{
    return notebook.FindNdisAdapter(serviceName, adapter) &&
           (adapter.device == 0 || notebook.IsDeviceWorking(adapter.device));
}

} // namespace

CSimDeviceApi::OpenDevice* CSimDeviceApi::FindDevice(HANDLE handle) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::unique_ptr<OpenDevice>& device : devices_) {
        if (device.get() == handle)
            return device.get();
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

HANDLE CSimDeviceApi::CreateFileW(PCWSTR fileName, DWORD desiredAccess, DWORD shareMode, SECURITY_ATTRIBUTES*,
                                  DWORD creationDisposition, DWORD, HANDLE)
{
    if (!fileName || creationDisposition != OPEN_EXISTING)
        return FailOpen(ERROR_INVALID_PARAMETER);
    auto device = std::make_unique<OpenDevice>();
    device->access = desiredAccess;
    device->shareMode = shareMode;
    CSimNotebook notebook;
    const std::wstring name = fileName;
    bool found = false;
    for (const SimInterface& entry : notebook.Interfaces()) {
        if (entry.present && lstrcmpiW(entry.path.c_str(), fileName) == 0) {
            device->interfaceGuid = entry.interfaceGuid;
            device->path = entry.path;
            found = true;
            break;
        }
    }
    std::wstring target;
    SimNdisAdapter adapter;
    if (!found && StartsWith(name, kDosDevicePrefix) &&
        notebook.QueryDosDevice(name.substr(wcslen(kDosDevicePrefix)), target) &&
        StartsWith(target, kDeviceTargetPrefix) &&
        FindReachableAdapter(notebook, target.substr(wcslen(kDeviceTargetPrefix)), adapter)) {
        device->ndis = true;
        device->path = adapter.serviceName;
        found = true;
    }
    if (!found)
        return FailOpen(ERROR_FILE_NOT_FOUND);

    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::unique_ptr<OpenDevice>& open : devices_) {
        if (open->ndis == device->ndis && lstrcmpiW(open->path.c_str(), device->path.c_str()) == 0 &&
            SharingConflict(open->access, open->shareMode, desiredAccess, shareMode))
            return FailOpen(ERROR_SHARING_VIOLATION);
    }
    devices_.push_back(std::move(device));
    return devices_.back().get();
}

BOOL CSimDeviceApi::DeviceIoControl(HANDLE device, DWORD ioControlCode, void* inBuffer, DWORD inBufferSize,
                                    void* outBuffer, DWORD outBufferSize, DWORD* bytesReturned,
                                    OVERLAPPED* overlapped)
{
    const OpenDevice* open = FindDevice(device);
    if (!open)
        return FALSE;
    // Every call here is synchronous, and a synchronous call must say where the byte count goes.
    if (overlapped || !bytesReturned)
        return Fail(ERROR_INVALID_PARAMETER);
    *bytesReturned = 0;
    if (open->ndis)
        return QueryNdis(*open, ioControlCode, inBuffer, inBufferSize, outBuffer, outBufferSize, bytesReturned);
    if (open->interfaceGuid == GUID_BTSW_CONTROL)
        return ControlBluetooth(ioControlCode);
    return Fail(ERROR_INVALID_FUNCTION);
}

BOOL CSimDeviceApi::ControlBluetooth(DWORD ioControlCode)
{
    CSimNotebook notebook;
    switch (ioControlCode) {
    case IOCTL_BTSW_ON:
    case IOCTL_BTSW_OFF:
        notebook.RecordBluetoothCode(ioControlCode);
        if (notebook.BluetoothRefusesSwitch())
            return Fail(ERROR_GEN_FAILURE);
        // The radio interface comes or goes when the stack gets round to it.
        return notebook.ScheduleInterfaces(GUID_BTSW_RADIO, ioControlCode == IOCTL_BTSW_ON,
                                           notebook.BluetoothSwitchDelay())
                   ? TRUE
                   : Fail(ERROR_GEN_FAILURE);
    case IOCTL_BTSW_PRE_ON:
    case IOCTL_BTSW_POST_OFF:
        notebook.RecordBluetoothCode(ioControlCode);
        return TRUE;
    default:
        return Fail(ERROR_INVALID_FUNCTION);
    }
}

BOOL CSimDeviceApi::QueryNdis(const OpenDevice& device, DWORD ioControlCode, const void* inBuffer,
                              DWORD inBufferSize, void* outBuffer, DWORD outBufferSize, DWORD* bytesReturned)
{
    if (ioControlCode != IOCTL_NDIS_QUERY_GLOBAL_STATS)
        return Fail(ERROR_INVALID_FUNCTION);
    ULONG oid = 0;
    if (!inBuffer || inBufferSize < sizeof(oid))
        return Fail(ERROR_INVALID_PARAMETER);
    std::memcpy(&oid, inBuffer, sizeof(oid));
    CSimNotebook notebook;
    SimNdisAdapter adapter;
    if (!FindReachableAdapter(notebook, device.path, adapter))
        return Fail(ERROR_GEN_FAILURE);
    if (oid != OID_802_11_SSID || !adapter.answers)
        return Fail(ERROR_NOT_SUPPORTED);
    NDIS_802_11_SSID ssid = {};
    static const char kSsid[] = "airvane-demo";
    ssid.SsidLength = sizeof(kSsid) - 1;
    std::memcpy(ssid.Ssid, kSsid, ssid.SsidLength);
    if (!outBuffer || outBufferSize < sizeof(ssid))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(outBuffer, &ssid, sizeof(ssid));
    *bytesReturned = sizeof(ssid);
    return TRUE;
}

BOOL CSimDeviceApi::CloseHandle(HANDLE object)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [&](const std::unique_ptr<OpenDevice>& device) { return device.get() == object; });
    if (found == devices_.end())
        return Fail(ERROR_INVALID_HANDLE);
    devices_.erase(found);
    return TRUE;
}

DWORD CSimDeviceApi::QueryDosDeviceW(PCWSTR deviceName, PWSTR targetPath, DWORD maxChars)
{
    // Listing every name (a null device name) is not simulated.
    if (!deviceName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wstring target;
    if (!CSimNotebook().QueryDosDevice(deviceName, target)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const DWORD needed = static_cast<DWORD>(target.size() + 2); // a list of one, ending in two terminators
    if (!targetPath || maxChars < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy(target.begin(), target.end(), targetPath);
    targetPath[target.size()] = L'\0';
    targetPath[target.size() + 1] = L'\0';
    return needed;
}

BOOL CSimDeviceApi::DefineDosDeviceW(DWORD flags, PCWSTR deviceName, PCWSTR targetPath)
{
    if (!deviceName || !*deviceName)
        return Fail(ERROR_INVALID_PARAMETER);
    CSimNotebook notebook;
    if (flags & DDD_REMOVE_DEFINITION) {
        std::wstring target;
        return notebook.QueryDosDevice(deviceName, target) && notebook.RemoveDosDevice(deviceName)
                   ? TRUE
                   : Fail(ERROR_FILE_NOT_FOUND);
    }
    // Only raw target paths are simulated: that is how device names are defined.
    if (!(flags & DDD_RAW_TARGET_PATH) || !targetPath || !*targetPath)
        return Fail(ERROR_INVALID_PARAMETER);
    return notebook.DefineDosDevice(deviceName, targetPath) ? TRUE : Fail(ERROR_GEN_FAILURE);
}
