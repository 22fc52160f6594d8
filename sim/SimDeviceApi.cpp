// The simulated binding's device installer and configuration manager.
#include "sim/SimDeviceApi.h"

#include "sim/SimDeviceObjects.h"
#include "sim/SimRegistry.h"
#include "sim/SimWlanApi.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

template <typename T>
T Fail(DWORD error, T result)
{
    SetLastError(error);
    return result;
}

BOOL Fail(DWORD error)
{
    return Fail<BOOL>(error, FALSE);
}

// A failure of the class installer, for its log.
BOOL Fail(DWORD error, BOOL result, std::wstring& outcome)
{
    outcome = L"failed";
    return Fail<BOOL>(error, result);
}

std::wstring Terminated(const std::wstring& text)
{
    return text + L'\0';
}

std::wstring MultiString(const std::vector<std::wstring>& values)
{
    std::wstring chars;
    for (const std::wstring& value : values)
        chars += Terminated(value);
    return Terminated(chars);
}

} // namespace

CSimDeviceApi::CSimDeviceApi() = default;
CSimDeviceApi::~CSimDeviceApi() = default;

CSimDeviceApi::DeviceSet* CSimDeviceApi::FindSet(HDEVINFO handle) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::unique_ptr<DeviceSet>& set : sets_) {
        if (set.get() == handle)
            return set.get();
    }
    return Fail<DeviceSet*>(ERROR_INVALID_HANDLE, nullptr);
}

CSimDeviceApi::Element* CSimDeviceApi::FindElement(HDEVINFO handle, const SP_DEVINFO_DATA* deviceInfoData) const
{
    DeviceSet* set = FindSet(handle);
    if (!set)
        return nullptr;
    if (!deviceInfoData)
        return Fail<Element*>(ERROR_INVALID_PARAMETER, nullptr);
    if (deviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA))
        return Fail<Element*>(ERROR_INVALID_USER_BUFFER, nullptr);
    const ULONG_PTR position = deviceInfoData->Reserved;
    if (position == 0 || position > set->elements.size())
        return Fail<Element*>(ERROR_INVALID_PARAMETER, nullptr);
    return &set->elements[position - 1];
}

BOOL CSimDeviceApi::SetupDiClassGuidsFromNameExW(PCWSTR className, GUID* classGuidList, DWORD classGuidListSize,
                                                 DWORD* requiredSize, PCWSTR machineName, PVOID reserved)
{
    if (!className || reserved || (!classGuidList && classGuidListSize != 0))
        return Fail(ERROR_INVALID_PARAMETER);
    if (machineName && *machineName)
        return Fail(ERROR_INVALID_MACHINENAME);
    const std::vector<GUID> guids = CSimNotebook().ClassGuids(className);
    const DWORD count = static_cast<DWORD>(guids.size());
    if (requiredSize)
        *requiredSize = count;
    std::copy_n(guids.begin(), std::min(count, classGuidListSize), classGuidList);
    return count > classGuidListSize ? Fail(ERROR_INSUFFICIENT_BUFFER) : TRUE;
}

HDEVINFO CSimDeviceApi::SetupDiGetClassDevsExW(const GUID* classGuid, PCWSTR enumerator, HWND, DWORD flags,
                                               HDEVINFO deviceInfoSet, PCWSTR machineName, PVOID reserved)
{
    const bool allClasses = (flags & DIGCF_ALLCLASSES) != 0;
    const bool presentOnly = (flags & DIGCF_PRESENT) != 0;
    const bool interfaces = (flags & DIGCF_DEVICEINTERFACE) != 0;
    // Adding to an existing set and interfaces of one device are not simulated.
    if (deviceInfoSet || reserved || (!allClasses && !classGuid) || (interfaces && enumerator))
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    if (machineName && *machineName)
        return Fail(ERROR_INVALID_MACHINENAME, INVALID_HANDLE_VALUE);

    auto set = std::make_unique<DeviceSet>();
    CSimNotebook notebook;
    if (interfaces) {
        for (SimInterface& entry : notebook.Interfaces()) {
            if ((allClasses || entry.interfaceGuid == *classGuid) && (!presentOnly || entry.present))
                set->interfaces.push_back(std::move(entry));
        }
    } else {
        CSimNotebook::DeviceFilter filter;
        filter.classGuid = allClasses ? nullptr : classGuid;
        filter.enumerator = enumerator && *enumerator ? enumerator : nullptr;
        filter.presentOnly = presentOnly;
        std::vector<SimDevice> devices = notebook.Devices(filter);
        set->elements.reserve(devices.size());
        for (SimDevice& device : devices) {
            set->elements.emplace_back();
            set->elements.back().device = std::move(device);
        }
        if (!allClasses)
            set->classGuid = *classGuid;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    sets_.push_back(std::move(set));
    return sets_.back().get();
}

HDEVINFO CSimDeviceApi::SetupDiGetClassDevsW(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags)
{
    return SetupDiGetClassDevsExW(classGuid, enumerator, parent, flags, nullptr, nullptr, nullptr);
}

BOOL CSimDeviceApi::SetupDiGetDeviceInfoListDetailW(HDEVINFO deviceInfoSet, SP_DEVINFO_LIST_DETAIL_DATA_W* detailData)
{
    const DeviceSet* set = FindSet(deviceInfoSet);
    if (!set)
        return FALSE;
    if (!detailData || detailData->cbSize != sizeof(SP_DEVINFO_LIST_DETAIL_DATA_W))
        return Fail(ERROR_INVALID_USER_BUFFER);
    detailData->ClassGuid = set->classGuid;
    detailData->RemoteMachineHandle = nullptr;
    detailData->RemoteMachineName[0] = L'\0';
    return TRUE;
}

BOOL CSimDeviceApi::SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex, SP_DEVINFO_DATA* deviceInfoData)
{
    const DeviceSet* set = FindSet(deviceInfoSet);
    if (!set)
        return FALSE;
    if (!deviceInfoData)
        return Fail(ERROR_INVALID_PARAMETER);
    if (deviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA))
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (memberIndex >= set->elements.size())
        return Fail(ERROR_NO_MORE_ITEMS);
    const SimDevice& device = set->elements[memberIndex].device;
    deviceInfoData->ClassGuid = device.classGuid;
    deviceInfoData->DevInst = device.number;
    deviceInfoData->Reserved = memberIndex + 1;
    return TRUE;
}

BOOL CSimDeviceApi::SetupDiGetDeviceRegistryPropertyW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                      DWORD property, DWORD* propertyRegDataType,
                                                      BYTE* propertyBuffer, DWORD propertyBufferSize,
                                                      DWORD* requiredSize)
{
    const Element* element = FindElement(deviceInfoSet, deviceInfoData);
    if (!element)
        return FALSE;
    const SimDevice& device = element->device;
    DWORD type = REG_SZ;
    DWORD failure = 0;
    std::wstring data;
    switch (property) {
    case SPDRP_HARDWAREID:
        type = REG_MULTI_SZ;
        failure = simfail::kHardwareId;
        if (!device.hardwareIds.empty())
            data = MultiString(device.hardwareIds);
        break;
    case SPDRP_FRIENDLYNAME:
        failure = simfail::kFriendlyName;
        if (device.friendlyName)
            data = Terminated(*device.friendlyName);
        break;
    case SPDRP_DEVICEDESC:
        failure = simfail::kDeviceDesc;
        if (!device.description.empty())
            data = Terminated(device.description);
        break;
    case SPDRP_CLASS:
        failure = simfail::kClass;
        if (!device.className.empty())
            data = Terminated(device.className);
        break;
    case SPDRP_CLASSGUID:
        data = Terminated(simreg::GuidToString(device.classGuid));
        break;
    case SPDRP_ENUMERATOR_NAME:
        if (!device.enumerator.empty())
            data = Terminated(device.enumerator);
        break;
    default:
        break;
    }
    if (data.empty() || (device.failures & failure))
        return Fail(ERROR_INVALID_DATA);
    const DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (requiredSize)
        *requiredSize = bytes;
    if (propertyRegDataType)
        *propertyRegDataType = type;
    if (!propertyBuffer || propertyBufferSize < bytes)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(propertyBuffer, data.data(), bytes);
    return TRUE;
}

BOOL CSimDeviceApi::SetupDiSetClassInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                  SP_CLASSINSTALL_HEADER* classInstallParams,
                                                  DWORD classInstallParamsSize)
{
    Element* element = FindElement(deviceInfoSet, deviceInfoData);
    if (!element)
        return FALSE;
    if (!classInstallParams) {
        element->hasParams = false;
        return TRUE;
    }
    if (classInstallParams->cbSize != sizeof(SP_CLASSINSTALL_HEADER))
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (classInstallParams->InstallFunction != DIF_PROPERTYCHANGE ||
        classInstallParamsSize != sizeof(SP_PROPCHANGE_PARAMS))
        return Fail(ERROR_INVALID_PARAMETER);
    const auto* change = reinterpret_cast<const SP_PROPCHANGE_PARAMS*>(classInstallParams);
    if (change->StateChange < DICS_ENABLE || change->StateChange > DICS_STOP ||
        (change->Scope != DICS_FLAG_GLOBAL && change->Scope != DICS_FLAG_CONFIGSPECIFIC) || change->HwProfile != 0)
        return Fail(ERROR_INVALID_FLAGS);
    if (element->device.failures & simfail::kInstallParams)
        return Fail(ERROR_GEN_FAILURE);
    element->params = *change;
    element->hasParams = true;
    return TRUE;
}

BOOL CSimDeviceApi::SetupDiCallClassInstaller(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet,
                                              SP_DEVINFO_DATA* deviceInfoData)
{
    if (installFunction != DIF_PROPERTYCHANGE)
        return Fail(ERROR_DI_DO_DEFAULT);
    Element* element = FindElement(deviceInfoSet, deviceInfoData);
    if (!element)
        return FALSE;
    if (!element->hasParams)
        return Fail(ERROR_NO_CLASSINSTALL_PARAMS);
    const SP_PROPCHANGE_PARAMS& change = element->params;
    const bool switches = change.StateChange == DICS_ENABLE || change.StateChange == DICS_DISABLE;
    // Every switch makes one configuration-specific call: that one goes into the log.
    SimInstallerCall logged;
    logged.device = element->device.number;
    logged.enable = change.StateChange == DICS_ENABLE;
    logged.quiet = (element->installFlags & DI_QUIETINSTALL) != 0;
    logged.outcome = L"failed";
    const bool logs = switches && change.Scope == DICS_FLAG_CONFIGSPECIFIC;
    CSimNotebook notebook;
    const BOOL done = PropertyChange(notebook, *element, logged.outcome);
    const DWORD error = GetLastError();
    if (logs)
        notebook.RecordInstallerCall(logged);
    SetLastError(error);
    return done;
}

BOOL CSimDeviceApi::PropertyChange(CSimNotebook& notebook, Element& element, std::wstring& outcome)
{
    // The installer acts on the machine as it is now, not on the snapshot.
    SimDevice device;
    if (!notebook.ReadDevice(element.device.number, device) || !device.present)
        return Fail(ERROR_NO_SUCH_DEVINST);
    const SP_PROPCHANGE_PARAMS& change = element.params;
    // A switch takes its time on the device, as a real one does.
    if (device.latencyMs != 0 && change.Scope == DICS_FLAG_CONFIGSPECIFIC)
        Sleep(device.latencyMs);
    if (device.failures & simfail::kClassInstaller)
        return Fail(ERROR_ACCESS_DENIED);
    outcome = L"ok";
    if (change.StateChange == DICS_ENABLE || change.StateChange == DICS_DISABLE) {
        const bool disable = change.StateChange == DICS_DISABLE;
        if (disable && !(device.capabilities & DN_DISABLEABLE))
            return Fail(ERROR_NOT_DISABLEABLE, FALSE, outcome);
        if (!disable && (device.failures & simfail::kEnable))
            return Fail(ERROR_ACCESS_DENIED, FALSE, outcome);
        const bool wasDisabled = device.Disabled();
        SimDevice after = device;
        (change.Scope == DICS_FLAG_GLOBAL ? after.disabledGlobal : after.disabledConfig) = disable;
        if (device.restartOnChange) {
            // The device keeps its state until the restart; a change back cancels the pending one.
            if (after.Disabled() != wasDisabled)
                device.pendingDisabled = after.Disabled();
            else
                device.pendingDisabled.reset();
            if (!notebook.SetPendingChange(device.number, device.pendingDisabled))
                return Fail(ERROR_GEN_FAILURE, FALSE, outcome);
        } else {
            if (!notebook.SetDisabled(device.number, after.disabledGlobal, after.disabledConfig))
                return Fail(ERROR_GEN_FAILURE, FALSE, outcome);
            if (after.Disabled() != wasDisabled)
                notebook.RecordStateChange(device.number, after.Disabled());
        }
    }
    if (device.restartOnChange) {
        element.installFlags |= DI_NEEDRESTART;
        outcome = L"restart pending";
    }
    return TRUE;
}

BOOL CSimDeviceApi::SetupDiSetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                   SP_DEVINSTALL_PARAMS_W* deviceInstallParams)
{
    Element* element = FindElement(deviceInfoSet, deviceInfoData);
    if (!element)
        return FALSE;
    if (!deviceInstallParams || deviceInstallParams->cbSize != sizeof(SP_DEVINSTALL_PARAMS_W))
        return Fail(ERROR_INVALID_USER_BUFFER);
    element->installFlags = deviceInstallParams->Flags;
    return TRUE;
}

BOOL CSimDeviceApi::SetupDiGetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                   SP_DEVINSTALL_PARAMS_W* deviceInstallParams)
{
    const Element* element = FindElement(deviceInfoSet, deviceInfoData);
    if (!element)
        return FALSE;
    if (!deviceInstallParams || deviceInstallParams->cbSize != sizeof(SP_DEVINSTALL_PARAMS_W))
        return Fail(ERROR_INVALID_USER_BUFFER);
    *deviceInstallParams = SP_DEVINSTALL_PARAMS_W();
    deviceInstallParams->cbSize = sizeof(SP_DEVINSTALL_PARAMS_W);
    deviceInstallParams->Flags = element->installFlags;
    return TRUE;
}

BOOL CSimDeviceApi::SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                const GUID* interfaceClassGuid, DWORD memberIndex,
                                                SP_DEVICE_INTERFACE_DATA* deviceInterfaceData)
{
    const DeviceSet* set = FindSet(deviceInfoSet);
    if (!set)
        return FALSE;
    if (deviceInfoData || !interfaceClassGuid) // the interfaces of one device are not simulated
        return Fail(ERROR_INVALID_PARAMETER);
    if (!deviceInterfaceData || deviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
        return Fail(ERROR_INVALID_USER_BUFFER);
    DWORD seen = 0;
    for (size_t position = 0; position < set->interfaces.size(); ++position) {
        const SimInterface& entry = set->interfaces[position];
        if (entry.interfaceGuid != *interfaceClassGuid || seen++ != memberIndex)
            continue;
        deviceInterfaceData->InterfaceClassGuid = entry.interfaceGuid;
        deviceInterfaceData->Flags = entry.present ? SPINT_ACTIVE : 0;
        deviceInterfaceData->Reserved = position + 1;
        return TRUE;
    }
    return Fail(ERROR_NO_MORE_ITEMS);
}

BOOL CSimDeviceApi::SetupDiGetDeviceInterfaceDetailW(HDEVINFO deviceInfoSet,
                                                     SP_DEVICE_INTERFACE_DATA* deviceInterfaceData,
                                                     SP_DEVICE_INTERFACE_DETAIL_DATA_W* deviceInterfaceDetailData,
                                                     DWORD deviceInterfaceDetailDataSize, DWORD* requiredSize,
                                                     SP_DEVINFO_DATA*)
{
    const DeviceSet* set = FindSet(deviceInfoSet);
    if (!set)
        return FALSE;
    if (!deviceInterfaceData || deviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
        return Fail(ERROR_INVALID_USER_BUFFER);
    const ULONG_PTR position = deviceInterfaceData->Reserved;
    if (position == 0 || position > set->interfaces.size())
        return Fail(ERROR_INVALID_PARAMETER);
    const std::wstring& path = set->interfaces[position - 1].path;
    const DWORD pathBytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) + pathBytes;
    if (requiredSize)
        *requiredSize = needed;
    if (!deviceInterfaceDetailData)
        return Fail(deviceInterfaceDetailDataSize == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_USER_BUFFER);
    if (deviceInterfaceDetailData->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (deviceInterfaceDetailDataSize < needed)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(deviceInterfaceDetailData->DevicePath, path.c_str(), pathBytes);
    return TRUE;
}

BOOL CSimDeviceApi::SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = std::find_if(sets_.begin(), sets_.end(),
                                    [&](const std::unique_ptr<DeviceSet>& set) { return set.get() == deviceInfoSet; });
    if (found == sets_.end())
        return Fail(ERROR_INVALID_HANDLE);
    sets_.erase(found);
    return TRUE;
}

CONFIGRET CSimDeviceApi::CM_Get_DevNode_Status(ULONG* status, ULONG* problemNumber, DEVINST devInst, ULONG flags)
{
    if (!status || !problemNumber)
        return CR_INVALID_POINTER;
    if (flags != 0)
        return CR_INVALID_FLAG;
    SimDevice device;
    if (!CSimNotebook().ReadDevice(devInst, device) || !device.present)
        return CR_NO_SUCH_DEVINST;
    if (device.failures & simfail::kStatus)
        return CR_FAILURE;
    *status = DN_DRIVER_LOADED | (device.capabilities & (DN_DISABLEABLE | DN_REMOVABLE));
    if (device.pendingDisabled)
        *status |= DN_NEED_RESTART; // a change waits for the restart
    *problemNumber = 0;
    if (device.Disabled()) {
        *status |= DN_HAS_PROBLEM;
        *problemNumber = CM_PROB_DISABLED;
    } else if (device.problem != 0) {
        *status |= DN_HAS_PROBLEM;
        *problemNumber = device.problem;
    } else {
        *status |= DN_STARTED;
    }
    return CR_SUCCESS;
}

CONFIGRET CSimDeviceApi::RemoveDevice(DEVINST devInst, bool eject, PNP_VETO_TYPE* vetoType, PWSTR vetoName,
                                      ULONG nameLength)
{
    CSimNotebook notebook;
    SimDevice device;
    if (!notebook.ReadDevice(devInst, device) || !device.present)
        return CR_NO_SUCH_DEVINST;
    const bool vetoed = (device.failures & simfail::kEject) || (eject && !(device.capabilities & DN_REMOVABLE));
    if (vetoed) {
        if (vetoType)
            *vetoType = eject && !(device.capabilities & DN_REMOVABLE) ? PNP_VetoIllegalDeviceRequest : PNP_VetoDevice;
        if (vetoName && nameLength > 0)
            lstrcpynW(vetoName, device.instanceId.c_str(), static_cast<int>(nameLength));
        return CR_REMOVE_VETOED;
    }
    return notebook.SetPresent(devInst, false) ? CR_SUCCESS : CR_FAILURE;
}

CONFIGRET CSimDeviceApi::CM_Request_Device_EjectW(DEVINST devInst, PNP_VETO_TYPE* vetoType, PWSTR vetoName,
                                                  ULONG nameLength, ULONG flags)
{
    if (flags != 0)
        return CR_INVALID_FLAG;
    return RemoveDevice(devInst, true, vetoType, vetoName, nameLength);
}

CONFIGRET CSimDeviceApi::CM_Query_And_Remove_SubTreeW(DEVINST ancestor, PNP_VETO_TYPE* vetoType, PWSTR vetoName,
                                                      ULONG nameLength, ULONG flags)
{
    if (flags & ~CM_REMOVE_BITS)
        return CR_INVALID_FLAG;
    return RemoveDevice(ancestor, false, vetoType, vetoName, nameLength);
}

size_t CSimDeviceApi::OpenObjectCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sets_.size() + devices_.size() + SimWlanOpenObjects();
}

IDeviceApi& DefaultDeviceApi()
{
    static CSimDeviceApi api;
    return api;
}
