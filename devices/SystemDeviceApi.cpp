#include "devices/DeviceApi.h"

namespace {

// The shipping binding: every call goes straight to Windows.
class CSystemDeviceApi final : public IDeviceApi {
public:
    BOOL SetupDiClassGuidsFromNameExW(PCWSTR className, GUID* classGuidList, DWORD classGuidListSize,
                                      DWORD* requiredSize, PCWSTR machineName, PVOID reserved) override
    {
        return ::SetupDiClassGuidsFromNameExW(className, classGuidList, classGuidListSize, requiredSize,
                                              machineName, reserved);
    }

    HDEVINFO SetupDiGetClassDevsExW(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags,
                                    HDEVINFO deviceInfoSet, PCWSTR machineName, PVOID reserved) override
    {
        return ::SetupDiGetClassDevsExW(classGuid, enumerator, parent, flags, deviceInfoSet, machineName, reserved);
    }

    HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags) override
    {
        return ::SetupDiGetClassDevsW(classGuid, enumerator, parent, flags);
    }

    BOOL SetupDiGetDeviceInfoListDetailW(HDEVINFO deviceInfoSet, SP_DEVINFO_LIST_DETAIL_DATA_W* detailData) override
    {
        return ::SetupDiGetDeviceInfoListDetailW(deviceInfoSet, detailData);
    }

    BOOL SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex, SP_DEVINFO_DATA* deviceInfoData) override
    {
        return ::SetupDiEnumDeviceInfo(deviceInfoSet, memberIndex, deviceInfoData);
    }

    BOOL SetupDiGetDeviceRegistryPropertyW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData, DWORD property,
                                           DWORD* propertyRegDataType, BYTE* propertyBuffer,
                                           DWORD propertyBufferSize, DWORD* requiredSize) override
    {
        return ::SetupDiGetDeviceRegistryPropertyW(deviceInfoSet, deviceInfoData, property, propertyRegDataType,
                                                   propertyBuffer, propertyBufferSize, requiredSize);
    }

    BOOL SetupDiSetClassInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                       SP_CLASSINSTALL_HEADER* classInstallParams,
                                       DWORD classInstallParamsSize) override
    {
        return ::SetupDiSetClassInstallParamsW(deviceInfoSet, deviceInfoData, classInstallParams,
                                               classInstallParamsSize);
    }

    BOOL SetupDiCallClassInstaller(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet,
                                   SP_DEVINFO_DATA* deviceInfoData) override
    {
        return ::SetupDiCallClassInstaller(installFunction, deviceInfoSet, deviceInfoData);
    }

    BOOL SetupDiGetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                        SP_DEVINSTALL_PARAMS_W* deviceInstallParams) override
    {
        return ::SetupDiGetDeviceInstallParamsW(deviceInfoSet, deviceInfoData, deviceInstallParams);
    }

    BOOL SetupDiSetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                        SP_DEVINSTALL_PARAMS_W* deviceInstallParams) override
    {
        return ::SetupDiSetDeviceInstallParamsW(deviceInfoSet, deviceInfoData, deviceInstallParams);
    }

    BOOL SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                     const GUID* interfaceClassGuid, DWORD memberIndex,
                                     SP_DEVICE_INTERFACE_DATA* deviceInterfaceData) override
    {
        return ::SetupDiEnumDeviceInterfaces(deviceInfoSet, deviceInfoData, interfaceClassGuid, memberIndex,
                                             deviceInterfaceData);
    }

    BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO deviceInfoSet, SP_DEVICE_INTERFACE_DATA* deviceInterfaceData,
                                          SP_DEVICE_INTERFACE_DETAIL_DATA_W* deviceInterfaceDetailData,
                                          DWORD deviceInterfaceDetailDataSize, DWORD* requiredSize,
                                          SP_DEVINFO_DATA* deviceInfoData) override
    {
        return ::SetupDiGetDeviceInterfaceDetailW(deviceInfoSet, deviceInterfaceData, deviceInterfaceDetailData,
                                                  deviceInterfaceDetailDataSize, requiredSize, deviceInfoData);
    }

    BOOL SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet) override
    {
        return ::SetupDiDestroyDeviceInfoList(deviceInfoSet);
    }

    CONFIGRET CM_Get_DevNode_Status(ULONG* status, ULONG* problemNumber, DEVINST devInst, ULONG flags) override
    {
        return ::CM_Get_DevNode_Status(status, problemNumber, devInst, flags);
    }

    CONFIGRET CM_Request_Device_EjectW(DEVINST devInst, PNP_VETO_TYPE* vetoType, PWSTR vetoName, ULONG nameLength,
                                       ULONG flags) override
    {
        return ::CM_Request_Device_EjectW(devInst, vetoType, vetoName, nameLength, flags);
    }

    CONFIGRET CM_Query_And_Remove_SubTreeW(DEVINST ancestor, PNP_VETO_TYPE* vetoType, PWSTR vetoName,
                                           ULONG nameLength, ULONG flags) override
    {
        return ::CM_Query_And_Remove_SubTreeW(ancestor, vetoType, vetoName, nameLength, flags);
    }

    HANDLE CreateFileW(PCWSTR fileName, DWORD desiredAccess, DWORD shareMode, SECURITY_ATTRIBUTES* securityAttributes,
                       DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) override
    {
        return ::CreateFileW(fileName, desiredAccess, shareMode, securityAttributes, creationDisposition,
                             flagsAndAttributes, templateFile);
    }

    BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, void* inBuffer, DWORD inBufferSize, void* outBuffer,
                         DWORD outBufferSize, DWORD* bytesReturned, OVERLAPPED* overlapped) override
    {
        return ::DeviceIoControl(device, ioControlCode, inBuffer, inBufferSize, outBuffer, outBufferSize,
                                 bytesReturned, overlapped);
    }

    BOOL CloseHandle(HANDLE object) override { return ::CloseHandle(object); }

    DWORD QueryDosDeviceW(PCWSTR deviceName, PWSTR targetPath, DWORD maxChars) override
    {
        return ::QueryDosDeviceW(deviceName, targetPath, maxChars);
    }

    BOOL DefineDosDeviceW(DWORD flags, PCWSTR deviceName, PCWSTR targetPath) override
    {
        return ::DefineDosDeviceW(flags, deviceName, targetPath);
    }

    HMODULE LoadLibraryW(PCWSTR fileName) override { return ::LoadLibraryW(fileName); }
    FARPROC GetProcAddress(HMODULE module, PCSTR procName) override { return ::GetProcAddress(module, procName); }
    BOOL FreeLibrary(HMODULE module) override { return ::FreeLibrary(module); }
};

} // namespace

IDeviceApi& DefaultDeviceApi()
{
    static CSystemDeviceApi api;
    return api;
}
