#include "devices/DeviceControl.h"

#include "devices/DeviceApi.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <new>

namespace {

constexpr DWORD kFirstGuidCapacity = 10;
constexpr DWORD kPropertyBytes = 1024;
constexpr size_t kPropertyChars = kPropertyBytes / sizeof(wchar_t);
static_assert(kPropertyChars == kDevicePropertyChars, "reported names come from property buffers");

using PropertyBuffer = wchar_t[kPropertyChars];

// The GUIDs of a setup class name: room for 10 first, then exactly the count the
// installer asks for. Null when the class cannot be resolved or no buffer is left.
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

// Visits every device of every class GUID, first GUID first, as long as the visitor
// returns true. Returns false when the visitor stopped the walk.
template <typename Visitor>
bool WalkClassDevices(const GUID* guids, DWORD count, Visitor&& visit)
{
    IDeviceApi& api = DeviceApi();
    for (DWORD g = 0; g < count; ++g) {
        DeviceInfoSet set(api.SetupDiGetClassDevsExW(&guids[g], nullptr, nullptr, 0, nullptr, nullptr, nullptr));
        if (!set)
            continue;
        SP_DEVINFO_LIST_DETAIL_DATA_W detail = {};
        detail.cbSize = sizeof(detail);
        if (!api.SetupDiGetDeviceInfoListDetailW(set.Get(), &detail))
            continue;
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        for (DWORD index = 0; api.SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
            if (!visit(set.Get(), device))
                return false;
        }
    }
    return true;
}

// Reads a device property into a zero-filled buffer of 1024 bytes.
bool ReadProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, PropertyBuffer& buffer)
{
    ZeroMemory(buffer, sizeof(buffer));
    return DeviceApi().SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr,
                                                         reinterpret_cast<BYTE*>(buffer), kPropertyBytes,
                                                         nullptr) != FALSE;
}

// As ReadProperty, for a text whose terminator must lie inside the buffer.
bool ReadText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, PropertyBuffer& buffer)
{
    return ReadProperty(set, device, property, buffer) && wcsnlen(buffer, kPropertyChars) < kPropertyChars;
}

// Copies a whole text into a buffer of `capacity` characters; false when it does not fit.
bool CopyWhole(const wchar_t* text, wchar_t* out, size_t capacity)
{
    const size_t length = wcslen(text);
    if (length >= capacity)
        return false;
    wmemcpy(out, text, length + 1);
    return true;
}

// True when an entry of the device's hardware-ID list begins with the prefix, in any letter case.
bool MatchesHwIdPrefix(HDEVINFO set, SP_DEVINFO_DATA& device, const wchar_t* prefix, size_t prefixLength)
{
    PropertyBuffer ids;
    if (!ReadProperty(set, device, SPDRP_HARDWAREID, ids))
        return false;
    PropertyBuffer head;
    const wchar_t* const end = ids + kPropertyChars;
    for (const wchar_t* entry = ids; entry < end && *entry != L'\0';) {
        const size_t length = wcsnlen(entry, static_cast<size_t>(end - entry));
        if (entry + length == end)
            break; // the list did not fit the buffer: its last entry is cut
        lstrcpynW(head, entry, static_cast<int>(prefixLength + 1));
        if (lstrcmpiW(head, prefix) == 0)
            return true;
        entry += length + 1;
    }
    return false;
}

// The friendly name, or the description when that is missing, empty or does not fit.
void ReportName(HDEVINFO set, SP_DEVINFO_DATA& device, wchar_t* nameOut, size_t capacity)
{
    PropertyBuffer text;
    if (ReadText(set, device, SPDRP_FRIENDLYNAME, text) && text[0] != L'\0' && CopyWhole(text, nameOut, capacity))
        return;
    if (ReadText(set, device, SPDRP_DEVICEDESC, text))
        CopyWhole(text, nameOut, capacity);
}

// Folds one device's status into the aggregate state; a device without a readable status does not count.
void AddToState(int& state, const SP_DEVINFO_DATA& device)
{
    ULONG status = 0;
    ULONG problem = 0;
    if (DeviceApi().CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) != CR_SUCCESS)
        return;
    const int seen = (status & DN_HAS_PROBLEM) && problem == CM_PROB_DISABLED ? DEVSTAT_DISABLED : DEVSTAT_ENABLED;
    if (state == DEVSTAT_NONE)
        state = seen;
    else if (state != seen)
        state = DEVSTAT_MIXED;
}

SP_PROPCHANGE_PARAMS PropertyChange(DWORD stateChange, DWORD scope)
{
    SP_PROPCHANGE_PARAMS params = {};
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = stateChange;
    params.Scope = scope;
    params.HwProfile = 0; // the current hardware profile
    return params;
}

// Switches one device through the class installer: enabling is a global enable followed
// by a config-specific one, disabling only a config-specific disable. Returns 0 when a
// class-installer call failed, or when the config-specific parameters could not be set
// and paramsFailureCounts is true.
int SwitchDevice(HDEVINFO set, SP_DEVINFO_DATA& device, bool enable, int* restartNeeded, bool paramsFailureCounts)
{
    IDeviceApi& api = DeviceApi();
    int result = 1;
    if (enable) {
        SP_PROPCHANGE_PARAMS global = PropertyChange(DICS_ENABLE, DICS_FLAG_GLOBAL);
        if (api.SetupDiSetClassInstallParamsW(set, &device, &global.ClassInstallHeader, sizeof(global)) &&
            !api.SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &device))
            result = 0;
    }
    SP_PROPCHANGE_PARAMS config = PropertyChange(enable ? DICS_ENABLE : DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC);
    if (!api.SetupDiSetClassInstallParamsW(set, &device, &config.ClassInstallHeader, sizeof(config)))
        return paramsFailureCounts ? 0 : result;
    if (!api.SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &device))
        result = 0;
    SP_DEVINSTALL_PARAMS_W install = {};
    install.cbSize = sizeof(install);
    if (api.SetupDiGetDeviceInstallParamsW(set, &device, &install) &&
        (install.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT)) && restartNeeded)
        *restartNeeded = 1;
    return result;
}

// Devices picked by hardware-ID prefix, and where their names go.
struct HwIdSelection {
    const wchar_t* prefix;
    size_t prefixLength;
    wchar_t* nameOut;
    size_t nameCapacity;
};

int ControlDevices(const wchar_t* className, int mode, int* state, int* restartNeeded, const HwIdSelection* byHwId)
{
    if (!className || !state)
        return 0;
    const bool enable = *state != 0;
    if (mode == 0)
        *state = DEVSTAT_NONE;
    else if (restartNeeded)
        *restartNeeded = 0;
    // The comparison buffer holds 511 characters: a longer prefix matches no device.
    if (byHwId && byHwId->prefixLength >= kPropertyChars)
        return 1;

    DWORD count = 0;
    const std::unique_ptr<GUID[]> guids = ResolveClassGuids(className, count);
    if (!guids)
        return 1;
    int result = 1;
    WalkClassDevices(guids.get(), count, [&](HDEVINFO set, SP_DEVINFO_DATA& device) {
        if (byHwId) {
            if (!MatchesHwIdPrefix(set, device, byHwId->prefix, byHwId->prefixLength))
                return true;
            if (byHwId->nameOut)
                ReportName(set, device, byHwId->nameOut, byHwId->nameCapacity);
        }
        if (mode == 0)
            AddToState(*state, device);
        else if (!SwitchDevice(set, device, enable, restartNeeded, byHwId != nullptr))
            result = 0;
        return true;
    });
    return result;
}

} // namespace

int DeviceCtlByClass(const wchar_t* className, int mode, int* state, int* restartNeeded)
{
    return ControlDevices(className, mode, state, restartNeeded, nullptr);
}

int DeviceCtlByHwId(int mode, int* state, const wchar_t* className, const wchar_t* hwIdPrefix, int* restartNeeded,
                    wchar_t* nameOut, size_t nameCapacity)
{
    if (!hwIdPrefix)
        return 0;
    const HwIdSelection selection = {hwIdPrefix, wcslen(hwIdPrefix), nameOut, nameCapacity};
    return ControlDevices(className, mode, state, restartNeeded, &selection);
}

int GetHwIdFromDesc(const wchar_t* description, const wchar_t* className, wchar_t* hwIdOut, size_t hwIdCapacity)
{
    if (!description || !className || !hwIdOut)
        return 0;
    DWORD count = 0;
    const std::unique_ptr<GUID[]> guids = ResolveClassGuids(className, count);
    if (!guids)
        return 0;
    const bool walkedAll = WalkClassDevices(guids.get(), count, [&](HDEVINFO set, SP_DEVINFO_DATA& device) {
        PropertyBuffer text;
        if (!ReadText(set, device, SPDRP_DEVICEDESC, text) || lstrcmpiW(text, description) != 0)
            return true;
        PropertyBuffer ids;
        return !(ReadText(set, device, SPDRP_HARDWAREID, ids) && CopyWhole(ids, hwIdOut, hwIdCapacity));
    });
    return walkedAll ? 0 : 1;
}

int IsFirstHwIdOfClass(const wchar_t* hwId, const wchar_t* className)
{
    if (!hwId || !className || *hwId == L'\0')
        return 0;
    DWORD count = 0;
    const std::unique_ptr<GUID[]> guids = ResolveClassGuids(className, count);
    if (!guids)
        return 0;
    const bool walkedAll = WalkClassDevices(guids.get(), count, [&](HDEVINFO set, SP_DEVINFO_DATA& device) {
        PropertyBuffer ids;
        return !(ReadText(set, device, SPDRP_HARDWAREID, ids) && lstrcmpiW(ids, hwId) == 0);
    });
    return walkedAll ? 0 : 1;
}
