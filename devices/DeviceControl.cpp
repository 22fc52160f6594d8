#include "devices/DeviceControl.h"

#include "devices/DeviceApi.h"
#include "devices/DeviceProperties.h"
#include "devices/DeviceSnapshot.h"

#include <cwchar>
#include <memory>

namespace {

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
    for (const std::wstring& entry : HardwareIdEntries(ids)) {
        if (EntryBeginsWith(entry, prefix, prefixLength))
            return true;
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

// True when the device is in the wanted state already: enabled without any problem,
// or disabled (problem 22). A device with another problem, or whose status cannot be
// read, still goes to the class installer.
bool IsAlreadyInState(const SP_DEVINFO_DATA& device, bool enable)
{
    ULONG status = 0;
    ULONG problem = 0;
    if (DeviceApi().CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) != CR_SUCCESS)
        return false;
    if (enable)
        return (status & DN_HAS_PROBLEM) == 0;
    return (status & DN_HAS_PROBLEM) != 0 && problem == CM_PROB_DISABLED;
}

// The switching service has no desktop: a class or co-installer must not wait on a
// dialog that nobody sees. A device whose parameters cannot be set is switched anyway.
void MakeInstallQuiet(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    IDeviceApi& api = DeviceApi();
    SP_DEVINSTALL_PARAMS_W install = {};
    install.cbSize = sizeof(install);
    if (!api.SetupDiGetDeviceInstallParamsW(set, &device, &install))
        return;
    install.Flags |= DI_QUIETINSTALL;
    api.SetupDiSetDeviceInstallParamsW(set, &device, &install);
}

// Switches one device through the class installer: enabling is a global enable followed
// by a config-specific one, disabling only a config-specific disable. A device already
// in the wanted state counts as switched without a call: on real hardware each call
// costs up to seconds. Returns 0 when a class-installer call failed, or when the
// config-specific parameters could not be set and paramsFailureCounts is true.
int SwitchDevice(HDEVINFO set, SP_DEVINFO_DATA& device, bool enable, int* restartNeeded, bool paramsFailureCounts)
{
    if (IsAlreadyInState(device, enable))
        return 1;
    IDeviceApi& api = DeviceApi();
    MakeInstallQuiet(set, device);
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

// Visits the devices of the class in a snapshot that a query selects: all of them,
// or those with a hardware-ID entry beginning with the prefix, found through the index.
template <typename Visit>
void VisitSnapshot(CDeviceSnapshot& snapshot, const wchar_t* className, const HwIdSelection* byHwId, Visit&& visit)
{
    SnapshotClass& devices = snapshot.Class(className);
    if (!devices.resolved)
        return;
    if (!byHwId) {
        for (SnapshotDevice& device : devices.devices)
            visit(device);
        return;
    }
    for (size_t position : devices.Candidates(byHwId->prefix, byHwId->prefixLength)) {
        SnapshotDevice& device = devices.devices[position];
        bool matches = false;
        for (const std::wstring& entry : device.hardwareIds)
            matches = matches || EntryBeginsWith(entry, byHwId->prefix, byHwId->prefixLength);
        if (matches)
            visit(device);
    }
}

// A query answered from a snapshot.
void QuerySnapshot(CDeviceSnapshot& snapshot, const wchar_t* className, int* state, const HwIdSelection* byHwId)
{
    VisitSnapshot(snapshot, className, byHwId, [&](SnapshotDevice& device) {
        if (byHwId && byHwId->nameOut)
            ReportName(device.set, device.data, byHwId->nameOut, byHwId->nameCapacity);
        FoldState(*state, snapshot.State(device));
    });
}

// A query (mode 0) answers from the snapshot when one is given; a switch always walks the class.
int ControlDevices(CDeviceSnapshot* snapshot, const wchar_t* className, int mode, int* state, int* restartNeeded,
                   const HwIdSelection* byHwId)
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

    if (snapshot && mode == 0) {
        QuerySnapshot(*snapshot, className, state, byHwId);
        return 1;
    }

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
            FoldState(*state, ReadDeviceState(device));
        else if (!SwitchDevice(set, device, enable, restartNeeded, byHwId != nullptr))
            result = 0;
        return true;
    });
    return result;
}

} // namespace

int DeviceCtlByClass(const wchar_t* className, int mode, int* state, int* restartNeeded)
{
    return ControlDevices(nullptr, className, mode, state, restartNeeded, nullptr);
}

int DeviceCtlByHwId(int mode, int* state, const wchar_t* className, const wchar_t* hwIdPrefix, int* restartNeeded,
                    wchar_t* nameOut, size_t nameCapacity)
{
    if (!hwIdPrefix)
        return 0;
    const HwIdSelection selection = {hwIdPrefix, wcslen(hwIdPrefix), nameOut, nameCapacity};
    return ControlDevices(nullptr, className, mode, state, restartNeeded, &selection);
}

int QueryByClass(CDeviceSnapshot& snapshot, const wchar_t* className, int* state)
{
    return ControlDevices(&snapshot, className, 0, state, nullptr, nullptr);
}

int QueryByHwId(CDeviceSnapshot& snapshot, int* state, const wchar_t* className, const wchar_t* hwIdPrefix,
                wchar_t* nameOut, size_t nameCapacity)
{
    if (!hwIdPrefix)
        return 0;
    const HwIdSelection selection = {hwIdPrefix, wcslen(hwIdPrefix), nameOut, nameCapacity};
    return ControlDevices(&snapshot, className, 0, state, nullptr, &selection);
}

bool IsRestartPending(CDeviceSnapshot& snapshot, const wchar_t* className, const wchar_t* hwIdPrefix)
{
    if (!className)
        return false;
    const size_t prefixLength = hwIdPrefix ? wcslen(hwIdPrefix) : 0;
    // A prefix the comparison buffer cannot hold selects no device, as in a query; an
    // empty one would select every device with a hardware ID, which no record means.
    if (hwIdPrefix && (prefixLength == 0 || prefixLength >= kPropertyChars))
        return false;
    const HwIdSelection selection = {hwIdPrefix, prefixLength, nullptr, 0};
    bool pending = false;
    VisitSnapshot(snapshot, className, hwIdPrefix ? &selection : nullptr,
                  [&](SnapshotDevice& device) { pending = pending || ReadNeedsRestart(device.data); });
    return pending;
}

bool AreInState(CDeviceSnapshot& snapshot, const wchar_t* className, const wchar_t* hwIdPrefix, bool on)
{
    if (!className)
        return false;
    const size_t prefixLength = hwIdPrefix ? wcslen(hwIdPrefix) : 0;
    if (prefixLength >= kPropertyChars)
        return false;
    const HwIdSelection selection = {hwIdPrefix, prefixLength, nullptr, 0};
    bool any = false;
    bool all = true;
    VisitSnapshot(snapshot, className, prefixLength > 0 ? &selection : nullptr, [&](SnapshotDevice& device) {
        any = true;
        all = all && IsAlreadyInState(device.data, on);
    });
    return any && all;
}

namespace {

// True when isTheOne holds for a device of the class: asked of the snapshot when
// one is given, otherwise of a walk of the class.
template <typename Predicate>
bool AnyDeviceOfClass(CDeviceSnapshot* snapshot, const wchar_t* className, Predicate&& isTheOne)
{
    if (snapshot) {
        for (SnapshotDevice& device : snapshot->Class(className).devices) {
            if (isTheOne(device.set, device.data))
                return true;
        }
        return false;
    }
    DWORD count = 0;
    const std::unique_ptr<GUID[]> guids = ResolveClassGuids(className, count);
    return guids && !WalkClassDevices(guids.get(), count, [&](HDEVINFO set, SP_DEVINFO_DATA& device) {
        return !isTheOne(set, device);
    });
}

int FindHwIdByDesc(CDeviceSnapshot* snapshot, const wchar_t* description, const wchar_t* className, wchar_t* hwIdOut,
                   size_t hwIdCapacity)
{
    if (!description || !className || !hwIdOut)
        return 0;
    // True when this device is the one: its hardware ID is then copied.
    auto isTheOne = [&](HDEVINFO set, SP_DEVINFO_DATA& device) {
        PropertyBuffer text;
        if (!ReadText(set, device, SPDRP_DEVICEDESC, text) || lstrcmpiW(text, description) != 0)
            return false;
        PropertyBuffer ids;
        return ReadText(set, device, SPDRP_HARDWAREID, ids) && CopyWhole(ids, hwIdOut, hwIdCapacity);
    };
    return AnyDeviceOfClass(snapshot, className, isTheOne) ? 1 : 0;
}

} // namespace

int GetHwIdFromDesc(const wchar_t* description, const wchar_t* className, wchar_t* hwIdOut, size_t hwIdCapacity)
{
    return FindHwIdByDesc(nullptr, description, className, hwIdOut, hwIdCapacity);
}

int GetHwIdFromDesc(CDeviceSnapshot& snapshot, const wchar_t* description, const wchar_t* className,
                    wchar_t* hwIdOut, size_t hwIdCapacity)
{
    return FindHwIdByDesc(&snapshot, description, className, hwIdOut, hwIdCapacity);
}

int IsFirstHwIdOfClass(const wchar_t* hwId, const wchar_t* className)
{
    if (!hwId || !className || *hwId == L'\0')
        return 0;
    const bool found = AnyDeviceOfClass(nullptr, className, [&](HDEVINFO set, SP_DEVINFO_DATA& device) {
        PropertyBuffer ids;
        return ReadText(set, device, SPDRP_HARDWAREID, ids) && lstrcmpiW(ids, hwId) == 0;
    });
    return found ? 1 : 0;
}
