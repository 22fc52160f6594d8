#include "tests/support/FakeDeviceApi.h"

#include <algorithm>
#include <iterator>
#include <cstring>

namespace {

BOOL FailWith(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

bool SameText(const std::wstring& a, const wchar_t* b)
{
    return b && lstrcmpiW(a.c_str(), b) == 0;
}

} // namespace

bool FakeDeviceApi::Fault::Matches(const Call& call)
{
    if (call.op != op_ || (device_ != kNoDevice && call.device != device_) ||
        (detail_ != kAnyDetail && call.detail != detail_))
        return false;
    ++seen_;
    return nth_ == 0 || seen_ == nth_;
}

FakeDeviceApi::FakeDeviceApi() = default;
FakeDeviceApi::~FakeDeviceApi() = default;

void FakeDeviceApi::AddClass(const std::wstring& name, const GUID& guid)
{
    for (ClassEntry& entry : classes_) {
        if (SameText(entry.name, name.c_str())) {
            entry.guids.push_back(guid);
            return;
        }
    }
    classes_.push_back({name, {guid}});
}

int FakeDeviceApi::AddDevice(const Device& device)
{
    devices.push_back(device);
    return static_cast<int>(devices.size()) - 1;
}

FakeDeviceApi::Fault& FakeDeviceApi::Fail(Op op)
{
    faults_.emplace_back(op);
    return faults_.back();
}

std::vector<FakeDeviceApi::Call> FakeDeviceApi::CallsOf(Op op) const
{
    std::vector<Call> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found), [&](const Call& call) { return call.op == op; });
    return found;
}

bool FakeDeviceApi::IsDisabled(int device) const
{
    const Device& d = devices.at(static_cast<size_t>(device));
    return (d.status & DN_HAS_PROBLEM) && d.problem == CM_PROB_DISABLED;
}

bool FakeDeviceApi::Record(Op op, int device, DWORD detail, DWORD extra)
{
    const Call call = {op, device, detail, extra};
    calls.push_back(call);
    for (Fault& fault : faults_) {
        if (fault.Matches(call)) {
            SetLastError(fault.error_);
            return true;
        }
    }
    return false;
}

FakeDeviceApi::Set* FakeDeviceApi::FindSet(HDEVINFO handle)
{
    for (const std::unique_ptr<Set>& set : sets_) {
        if (set.get() == handle)
            return set.get();
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

int FakeDeviceApi::Member(HDEVINFO handle, const SP_DEVINFO_DATA* data, Set** found)
{
    Set* set = FindSet(handle);
    if (!set)
        return kNoDevice;
    if (!data || data->cbSize != sizeof(SP_DEVINFO_DATA) || data->Reserved == 0 ||
        data->Reserved > set->devices.size()) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return kNoDevice;
    }
    if (found)
        *found = set;
    return set->devices[data->Reserved - 1];
}

BOOL FakeDeviceApi::SetupDiClassGuidsFromNameExW(PCWSTR className, GUID* classGuidList, DWORD classGuidListSize,
                                                 DWORD* requiredSize, PCWSTR machineName, PVOID reserved)
{
    if (Record(Op::ClassGuids, kNoDevice, classGuidListSize))
        return FALSE;
    if (!className || machineName || reserved)
        return FailWith(ERROR_INVALID_PARAMETER);
    std::vector<GUID> guids;
    for (const ClassEntry& entry : classes_) {
        if (SameText(entry.name, className))
            guids = entry.guids;
    }
    const DWORD count = static_cast<DWORD>(guids.size());
    if (requiredSize)
        *requiredSize = count;
    std::copy_n(guids.begin(), std::min(count, classGuidListSize), classGuidList);
    return count > classGuidListSize ? FailWith(ERROR_INSUFFICIENT_BUFFER) : TRUE;
}

HDEVINFO FakeDeviceApi::SetupDiGetClassDevsExW(const GUID* classGuid, PCWSTR enumerator, HWND, DWORD flags,
                                               HDEVINFO deviceInfoSet, PCWSTR machineName, PVOID reserved)
{
    if (Record(Op::GetClassDevs, kNoDevice, flags))
        return INVALID_HANDLE_VALUE;
    const bool allClasses = (flags & DIGCF_ALLCLASSES) != 0;
    if (deviceInfoSet || machineName || reserved || (flags & DIGCF_DEVICEINTERFACE) || (!allClasses && !classGuid)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto set = std::make_unique<Set>();
    for (size_t i = 0; i < devices.size(); ++i) {
        const Device& device = devices[i];
        if ((allClasses || device.classGuid == *classGuid) && (!enumerator || SameText(device.enumerator, enumerator)) &&
            (!(flags & DIGCF_PRESENT) || device.present))
            set->devices.push_back(static_cast<int>(i));
    }
    set->params.resize(set->devices.size());
    sets_.push_back(std::move(set));
    return sets_.back().get();
}

HDEVINFO FakeDeviceApi::SetupDiGetClassDevsW(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags)
{
    return SetupDiGetClassDevsExW(classGuid, enumerator, parent, flags, nullptr, nullptr, nullptr);
}

BOOL FakeDeviceApi::SetupDiGetDeviceInfoListDetailW(HDEVINFO deviceInfoSet, SP_DEVINFO_LIST_DETAIL_DATA_W* detailData)
{
    if (Record(Op::ListDetail, kNoDevice))
        return FALSE;
    if (!FindSet(deviceInfoSet))
        return FALSE;
    if (!detailData || detailData->cbSize != sizeof(SP_DEVINFO_LIST_DETAIL_DATA_W))
        return FailWith(ERROR_INVALID_USER_BUFFER);
    return TRUE;
}

BOOL FakeDeviceApi::SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex, SP_DEVINFO_DATA* deviceInfoData)
{
    Set* set = FindSet(deviceInfoSet);
    const int device = set && memberIndex < set->devices.size() ? set->devices[memberIndex] : kNoDevice;
    if (Record(Op::EnumDevice, device, memberIndex) || !set)
        return FALSE;
    if (!deviceInfoData || deviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA))
        return FailWith(ERROR_INVALID_USER_BUFFER);
    if (device == kNoDevice)
        return FailWith(ERROR_NO_MORE_ITEMS);
    deviceInfoData->ClassGuid = devices[device].classGuid;
    deviceInfoData->DevInst = static_cast<DEVINST>(device + 1);
    deviceInfoData->Reserved = memberIndex + 1;
    return TRUE;
}

BOOL FakeDeviceApi::SetupDiGetDeviceRegistryPropertyW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                      DWORD property, DWORD* propertyRegDataType,
                                                      BYTE* propertyBuffer, DWORD propertyBufferSize,
                                                      DWORD* requiredSize)
{
    const int index = Member(deviceInfoSet, deviceInfoData);
    if (Record(Op::Property, index, property, propertyBufferSize) || index == kNoDevice)
        return FALSE;
    const Device& device = devices[index];
    std::wstring data;
    DWORD type = REG_SZ;
    if (property == SPDRP_HARDWAREID && !device.hardwareIds.empty()) {
        type = REG_MULTI_SZ;
        for (const std::wstring& id : device.hardwareIds)
            data += id + L'\0';
        data += L'\0';
    } else if (property == SPDRP_FRIENDLYNAME && device.friendlyName) {
        data = *device.friendlyName + L'\0';
    } else if (property == SPDRP_DEVICEDESC && device.description) {
        data = *device.description + L'\0';
    } else if (property == SPDRP_CLASS && !device.className.empty()) {
        data = device.className + L'\0';
    } else {
        return FailWith(ERROR_INVALID_DATA);
    }
    const DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (requiredSize)
        *requiredSize = bytes;
    if (propertyRegDataType)
        *propertyRegDataType = type;
    if (!propertyBuffer || propertyBufferSize < bytes)
        return FailWith(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(propertyBuffer, data.data(), bytes);
    return TRUE;
}

BOOL FakeDeviceApi::SetupDiSetClassInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                  SP_CLASSINSTALL_HEADER* classInstallParams,
                                                  DWORD classInstallParamsSize)
{
    Set* set = nullptr;
    const int index = Member(deviceInfoSet, deviceInfoData, &set);
    const auto* change = reinterpret_cast<const SP_PROPCHANGE_PARAMS*>(classInstallParams);
    const bool wellFormed = classInstallParams && classInstallParams->cbSize == sizeof(SP_CLASSINSTALL_HEADER) &&
                            classInstallParams->InstallFunction == DIF_PROPERTYCHANGE &&
                            classInstallParamsSize == sizeof(SP_PROPCHANGE_PARAMS);
    if (Record(Op::SetParams, index, wellFormed ? change->Scope : 0, wellFormed ? change->StateChange : 0) ||
        index == kNoDevice)
        return FALSE;
    if (!wellFormed || change->HwProfile != 0)
        return FailWith(ERROR_INVALID_PARAMETER);
    set->params[deviceInfoData->Reserved - 1] = *change;
    return TRUE;
}

BOOL FakeDeviceApi::SetupDiCallClassInstaller(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet,
                                              SP_DEVINFO_DATA* deviceInfoData)
{
    Set* set = nullptr;
    const int index = Member(deviceInfoSet, deviceInfoData, &set);
    if (Record(Op::CallInstaller, index, installFunction) || index == kNoDevice)
        return FALSE;
    const std::optional<SP_PROPCHANGE_PARAMS>& params = set->params[deviceInfoData->Reserved - 1];
    if (installFunction != DIF_PROPERTYCHANGE || !params)
        return FailWith(ERROR_NO_CLASSINSTALL_PARAMS);
    Device& device = devices[index];
    if (params->StateChange == DICS_DISABLE) {
        device.status = (device.status | DN_HAS_PROBLEM) & ~DN_STARTED;
        device.problem = CM_PROB_DISABLED;
    } else if (params->StateChange == DICS_ENABLE && device.problem == CM_PROB_DISABLED) {
        device.status = (device.status & ~DN_HAS_PROBLEM) | DN_STARTED;
        device.problem = 0;
    }
    return TRUE;
}

BOOL FakeDeviceApi::SetupDiGetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                   SP_DEVINSTALL_PARAMS_W* deviceInstallParams)
{
    const int index = Member(deviceInfoSet, deviceInfoData);
    if (Record(Op::GetInstallParams, index) || index == kNoDevice)
        return FALSE;
    if (!deviceInstallParams || deviceInstallParams->cbSize != sizeof(SP_DEVINSTALL_PARAMS_W))
        return FailWith(ERROR_INVALID_USER_BUFFER);
    deviceInstallParams->Flags = devices[index].installFlags;
    return TRUE;
}

BOOL FakeDeviceApi::SetupDiSetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                   SP_DEVINSTALL_PARAMS_W* deviceInstallParams)
{
    const int index = Member(deviceInfoSet, deviceInfoData);
    const DWORD flags = deviceInstallParams ? deviceInstallParams->Flags : 0;
    if (Record(Op::SetInstallParams, index, flags) || index == kNoDevice)
        return FALSE;
    if (!deviceInstallParams || deviceInstallParams->cbSize != sizeof(SP_DEVINSTALL_PARAMS_W))
        return FailWith(ERROR_INVALID_USER_BUFFER);
    return TRUE;
}

BOOL FakeDeviceApi::SetupDiEnumDeviceInterfaces(HDEVINFO, SP_DEVINFO_DATA*, const GUID*, DWORD,
                                                SP_DEVICE_INTERFACE_DATA*)
{
    return FailWith(ERROR_NO_MORE_ITEMS);
}

BOOL FakeDeviceApi::SetupDiGetDeviceInterfaceDetailW(HDEVINFO, SP_DEVICE_INTERFACE_DATA*,
                                                     SP_DEVICE_INTERFACE_DETAIL_DATA_W*, DWORD, DWORD*,
                                                     SP_DEVINFO_DATA*)
{
    return FailWith(ERROR_INVALID_PARAMETER);
}

BOOL FakeDeviceApi::SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet)
{
    Record(Op::DestroyList, kNoDevice);
    const auto found = std::find_if(sets_.begin(), sets_.end(),
                                    [&](const std::unique_ptr<Set>& set) { return set.get() == deviceInfoSet; });
    if (found == sets_.end())
        return FailWith(ERROR_INVALID_HANDLE);
    sets_.erase(found);
    return TRUE;
}

CONFIGRET FakeDeviceApi::CM_Get_DevNode_Status(ULONG* status, ULONG* problemNumber, DEVINST devInst, ULONG flags)
{
    const int index = devInst >= 1 && devInst <= devices.size() ? static_cast<int>(devInst) - 1 : kNoDevice;
    if (Record(Op::DevNodeStatus, index))
        return CR_FAILURE;
    if (!status || !problemNumber || flags != 0)
        return CR_INVALID_POINTER;
    if (index == kNoDevice || !devices[index].present)
        return CR_NO_SUCH_DEVINST;
    *status = devices[index].status;
    *problemNumber = devices[index].problem;
    return CR_SUCCESS;
}

CONFIGRET FakeDeviceApi::CM_Request_Device_EjectW(DEVINST devInst, PNP_VETO_TYPE*, PWSTR, ULONG, ULONG flags)
{
    const int index = devInst >= 1 && devInst <= devices.size() ? static_cast<int>(devInst) - 1 : kNoDevice;
    if (Record(Op::RequestEject, index, flags))
        return CR_FAILURE;
    return index == kNoDevice ? CR_NO_SUCH_DEVINST : devices[index].ejectResult;
}

CONFIGRET FakeDeviceApi::CM_Query_And_Remove_SubTreeW(DEVINST ancestor, PNP_VETO_TYPE*, PWSTR, ULONG, ULONG flags)
{
    const int index = ancestor >= 1 && ancestor <= devices.size() ? static_cast<int>(ancestor) - 1 : kNoDevice;
    if (Record(Op::QueryRemove, index, flags))
        return CR_FAILURE;
    return index == kNoDevice ? CR_NO_SUCH_DEVINST : devices[index].ejectResult;
}

HANDLE FakeDeviceApi::CreateFileW(PCWSTR, DWORD, DWORD, SECURITY_ATTRIBUTES*, DWORD, DWORD, HANDLE)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return INVALID_HANDLE_VALUE;
}

BOOL FakeDeviceApi::DeviceIoControl(HANDLE, DWORD, void*, DWORD, void*, DWORD, DWORD*, OVERLAPPED*)
{
    return FailWith(ERROR_CALL_NOT_IMPLEMENTED);
}

BOOL FakeDeviceApi::CloseHandle(HANDLE)
{
    return FailWith(ERROR_CALL_NOT_IMPLEMENTED);
}

DWORD FakeDeviceApi::QueryDosDeviceW(PCWSTR, PWSTR, DWORD)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

BOOL FakeDeviceApi::DefineDosDeviceW(DWORD, PCWSTR, PCWSTR)
{
    return FailWith(ERROR_CALL_NOT_IMPLEMENTED);
}

HMODULE FakeDeviceApi::LoadLibraryW(PCWSTR)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return nullptr;
}

FARPROC FakeDeviceApi::GetProcAddress(HMODULE, PCSTR)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return nullptr;
}

BOOL FakeDeviceApi::FreeLibrary(HMODULE)
{
    return FailWith(ERROR_CALL_NOT_IMPLEMENTED);
}
