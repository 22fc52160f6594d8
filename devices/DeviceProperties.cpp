#include "devices/DeviceProperties.h"

#include "devices/DeviceControl.h"

#include <algorithm>
#include <cwchar>
#include <new>

static_assert(kPropertyChars == kDevicePropertyChars, "reported names come from property buffers");

namespace {

constexpr DWORD kFirstGuidCapacity = 10;

} // namespace

std::unique_ptr<GUID[]> ResolveClassGuids(const wchar_t* className, DWORD& count)
{
    IDeviceApi& api = DeviceApi();
    count = 0;
    std::unique_ptr<GUID[]> guids(new (std::nothrow) GUID[kFirstGuidCapacity]);
    if (!guids)
        return nullptr;
    DWORD capacity = kFirstGuidCapacity;
    DWORD required = 0;
    if (!api.SetupDiClassGuidsFromNameExW(className, guids.get(), capacity, &required, nullptr, nullptr)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || required == 0)
            return nullptr;
        capacity = required;
        guids.reset(new (std::nothrow) GUID[capacity]);
        if (!guids || !api.SetupDiClassGuidsFromNameExW(className, guids.get(), capacity, &required, nullptr,
                                                        nullptr))
            return nullptr;
    }
    count = std::min(required, capacity);
    return guids;
}

bool ReadProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, PropertyBuffer& buffer)
{
    ZeroMemory(buffer, sizeof(buffer));
    return DeviceApi().SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr,
                                                         reinterpret_cast<BYTE*>(buffer), kPropertyBytes,
                                                         nullptr) != FALSE;
}

std::vector<std::wstring> HardwareIdEntries(const PropertyBuffer& ids)
{
    std::vector<std::wstring> entries;
    const wchar_t* const end = ids + kPropertyChars;
    for (const wchar_t* entry = ids; entry < end && *entry != L'\0';) {
        const size_t length = wcsnlen(entry, static_cast<size_t>(end - entry));
        if (entry + length == end)
            break; // the list did not fit the buffer: its last entry is cut
        entries.emplace_back(entry, length);
        entry += length + 1;
    }
    return entries;
}

bool EntryBeginsWith(const std::wstring& entry, const wchar_t* prefix, size_t prefixLength)
{
    return lstrcmpiW(entry.substr(0, prefixLength).c_str(), prefix) == 0;
}

int ReadDeviceState(const SP_DEVINFO_DATA& device)
{
    ULONG status = 0;
    ULONG problem = 0;
    if (DeviceApi().CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) != CR_SUCCESS)
        return DEVSTAT_NONE;
    return (status & DN_HAS_PROBLEM) && problem == CM_PROB_DISABLED ? DEVSTAT_DISABLED : DEVSTAT_ENABLED;
}

bool ReadNeedsRestart(const SP_DEVINFO_DATA& device)
{
    ULONG status = 0;
    ULONG problem = 0;
    return DeviceApi().CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) == CR_SUCCESS &&
           (status & DN_NEED_RESTART) != 0;
}

void FoldState(int& state, int seen)
{
    if (seen == DEVSTAT_NONE)
        return;
    if (state == DEVSTAT_NONE)
        state = seen;
    else if (state != seen)
        state = DEVSTAT_MIXED;
}
