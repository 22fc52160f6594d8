#pragma once

#include "devices/DeviceApi.h"
#include "sim/SimNotebook.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The simulated binding: the device seam answered from the simulated notebook.
// Device-information sets are snapshots taken when they are built; status,
// switching, eject and device I/O read and write the notebook at the time of
// the call, so every process sees one machine. Handles it hands out are valid
// only in this process and only through this binding.
class CSimDeviceApi final : public IDeviceApi {
public:
    CSimDeviceApi();
    ~CSimDeviceApi() override;

    BOOL SetupDiClassGuidsFromNameExW(PCWSTR className, GUID* classGuidList, DWORD classGuidListSize,
                                      DWORD* requiredSize, PCWSTR machineName, PVOID reserved) override;
    HDEVINFO SetupDiGetClassDevsExW(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags,
                                    HDEVINFO deviceInfoSet, PCWSTR machineName, PVOID reserved) override;
    HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags) override;
    BOOL SetupDiGetDeviceInfoListDetailW(HDEVINFO deviceInfoSet, SP_DEVINFO_LIST_DETAIL_DATA_W* detailData) override;
    BOOL SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex, SP_DEVINFO_DATA* deviceInfoData) override;
    BOOL SetupDiGetDeviceRegistryPropertyW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData, DWORD property,
                                           DWORD* propertyRegDataType, BYTE* propertyBuffer,
                                           DWORD propertyBufferSize, DWORD* requiredSize) override;
    BOOL SetupDiSetClassInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                       SP_CLASSINSTALL_HEADER* classInstallParams,
                                       DWORD classInstallParamsSize) override;
    BOOL SetupDiCallClassInstaller(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet,
                                   SP_DEVINFO_DATA* deviceInfoData) override;
    BOOL SetupDiGetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                        SP_DEVINSTALL_PARAMS_W* deviceInstallParams) override;
    BOOL SetupDiSetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                        SP_DEVINSTALL_PARAMS_W* deviceInstallParams) override;
    BOOL SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                     const GUID* interfaceClassGuid, DWORD memberIndex,
                                     SP_DEVICE_INTERFACE_DATA* deviceInterfaceData) override;
    BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO deviceInfoSet, SP_DEVICE_INTERFACE_DATA* deviceInterfaceData,
                                          SP_DEVICE_INTERFACE_DETAIL_DATA_W* deviceInterfaceDetailData,
                                          DWORD deviceInterfaceDetailDataSize, DWORD* requiredSize,
                                          SP_DEVINFO_DATA* deviceInfoData) override;
    BOOL SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet) override;

    CONFIGRET CM_Get_DevNode_Status(ULONG* status, ULONG* problemNumber, DEVINST devInst, ULONG flags) override;
    CONFIGRET CM_Request_Device_EjectW(DEVINST devInst, PNP_VETO_TYPE* vetoType, PWSTR vetoName, ULONG nameLength,
                                       ULONG flags) override;
    CONFIGRET CM_Query_And_Remove_SubTreeW(DEVINST ancestor, PNP_VETO_TYPE* vetoType, PWSTR vetoName,
                                           ULONG nameLength, ULONG flags) override;

    HANDLE CreateFileW(PCWSTR fileName, DWORD desiredAccess, DWORD shareMode, SECURITY_ATTRIBUTES* securityAttributes,
                       DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) override;
    BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, void* inBuffer, DWORD inBufferSize, void* outBuffer,
                         DWORD outBufferSize, DWORD* bytesReturned, OVERLAPPED* overlapped) override;
    BOOL CloseHandle(HANDLE object) override;
    DWORD QueryDosDeviceW(PCWSTR deviceName, PWSTR targetPath, DWORD maxChars) override;
    BOOL DefineDosDeviceW(DWORD flags, PCWSTR deviceName, PCWSTR targetPath) override;

    HMODULE LoadLibraryW(PCWSTR fileName) override;
    FARPROC GetProcAddress(HMODULE module, PCSTR procName) override;
    BOOL FreeLibrary(HMODULE module) override;

    // Sets, device handles, WLAN clients and WLAN memory this process has not released.
    size_t OpenObjectCount() const;

private:
    struct Element;
    struct DeviceSet;
    struct OpenDevice;

    DeviceSet* FindSet(HDEVINFO handle) const;
    Element* FindElement(HDEVINFO handle, const SP_DEVINFO_DATA* deviceInfoData) const;
    OpenDevice* FindDevice(HANDLE handle) const;
    CONFIGRET RemoveDevice(DEVINST devInst, bool eject, PNP_VETO_TYPE* vetoType, PWSTR vetoName, ULONG nameLength);
    BOOL ControlBluetooth(DWORD ioControlCode);
    // The class installer's DIF_PROPERTYCHANGE on the notebook; outcome receives
    // what its log says of it.
    BOOL PropertyChange(CSimNotebook& notebook, Element& element, std::wstring& outcome);
    BOOL QueryNdis(const OpenDevice& device, DWORD ioControlCode, const void* inBuffer, DWORD inBufferSize,
                   void* outBuffer, DWORD outBufferSize, DWORD* bytesReturned);

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<DeviceSet>> sets_;
    std::vector<std::unique_ptr<OpenDevice>> devices_;
};
