#pragma once

#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include "foundation/Handle.h"

// Every call that reaches hardware or a driver goes through this interface:
// the device installer, the configuration manager, device I/O on a device path
// and the run-time bound WLAN library. Methods carry the names and signatures of
// the Win32 functions they stand for, so code written against the interface reads
// like code written against Windows. Two bindings exist: the system one calls
// Windows, the simulated one models a notebook; each program links one of them.
class IDeviceApi {
public:
    virtual ~IDeviceApi() = default;

    // Device installer (SetupAPI).
    virtual BOOL SetupDiClassGuidsFromNameExW(PCWSTR className, GUID* classGuidList, DWORD classGuidListSize,
                                              DWORD* requiredSize, PCWSTR machineName, PVOID reserved) = 0;
    virtual HDEVINFO SetupDiGetClassDevsExW(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags,
                                            HDEVINFO deviceInfoSet, PCWSTR machineName, PVOID reserved) = 0;
    virtual HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags) = 0;
    virtual BOOL SetupDiGetDeviceInfoListDetailW(HDEVINFO deviceInfoSet,
                                                 SP_DEVINFO_LIST_DETAIL_DATA_W* detailData) = 0;
    virtual BOOL SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex, SP_DEVINFO_DATA* deviceInfoData) = 0;
    virtual BOOL SetupDiGetDeviceRegistryPropertyW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                   DWORD property, DWORD* propertyRegDataType, BYTE* propertyBuffer,
                                                   DWORD propertyBufferSize, DWORD* requiredSize) = 0;
    virtual BOOL SetupDiSetClassInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                               SP_CLASSINSTALL_HEADER* classInstallParams,
                                               DWORD classInstallParamsSize) = 0;
    virtual BOOL SetupDiCallClassInstaller(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet,
                                           SP_DEVINFO_DATA* deviceInfoData) = 0;
    virtual BOOL SetupDiGetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                SP_DEVINSTALL_PARAMS_W* deviceInstallParams) = 0;
    virtual BOOL SetupDiSetDeviceInstallParamsW(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                                SP_DEVINSTALL_PARAMS_W* deviceInstallParams) = 0;
    virtual BOOL SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, SP_DEVINFO_DATA* deviceInfoData,
                                             const GUID* interfaceClassGuid, DWORD memberIndex,
                                             SP_DEVICE_INTERFACE_DATA* deviceInterfaceData) = 0;
    virtual BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO deviceInfoSet,
                                                  SP_DEVICE_INTERFACE_DATA* deviceInterfaceData,
                                                  SP_DEVICE_INTERFACE_DETAIL_DATA_W* deviceInterfaceDetailData,
                                                  DWORD deviceInterfaceDetailDataSize, DWORD* requiredSize,
                                                  SP_DEVINFO_DATA* deviceInfoData) = 0;
    virtual BOOL SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet) = 0;

    // Configuration manager.
    virtual CONFIGRET CM_Get_DevNode_Status(ULONG* status, ULONG* problemNumber, DEVINST devInst, ULONG flags) = 0;
    virtual CONFIGRET CM_Request_Device_EjectW(DEVINST devInst, PNP_VETO_TYPE* vetoType, PWSTR vetoName,
                                               ULONG nameLength, ULONG flags) = 0;
    virtual CONFIGRET CM_Query_And_Remove_SubTreeW(DEVINST ancestor, PNP_VETO_TYPE* vetoType, PWSTR vetoName,
                                                   ULONG nameLength, ULONG flags) = 0;

    // Device I/O on a device path (the NDIS adapter, the Bluetooth control device).
    virtual HANDLE CreateFileW(PCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                               SECURITY_ATTRIBUTES* securityAttributes, DWORD creationDisposition,
                               DWORD flagsAndAttributes, HANDLE templateFile) = 0;
    virtual BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, void* inBuffer, DWORD inBufferSize,
                                 void* outBuffer, DWORD outBufferSize, DWORD* bytesReturned,
                                 OVERLAPPED* overlapped) = 0;
    virtual BOOL CloseHandle(HANDLE object) = 0;
    virtual DWORD QueryDosDeviceW(PCWSTR deviceName, PWSTR targetPath, DWORD maxChars) = 0;
    virtual BOOL DefineDosDeviceW(DWORD flags, PCWSTR deviceName, PCWSTR targetPath) = 0;

    // The WLAN library, bound at run time: "Wlanapi.dll" and its entry points by name.
    virtual HMODULE LoadLibraryW(PCWSTR fileName) = 0;
    virtual FARPROC GetProcAddress(HMODULE module, PCSTR procName) = 0;
    virtual BOOL FreeLibrary(HMODULE module) = 0;
};

// The binding in use: the one installed for a test, otherwise the program's own.
IDeviceApi& DeviceApi();

// Test-only: installs a binding (an in-memory fake) for the whole process; null restores the default.
void SetDeviceApiForTest(IDeviceApi* api);

// The program's binding; defined by the binding linked into it (devices_system or sim_devices).
IDeviceApi& DefaultDeviceApi();

// Owners of what the seam hands out; each is released through the seam again.
struct DeviceInfoSetTraits {
    using Type = HDEVINFO;
    static Type None() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Type h) noexcept { DeviceApi().SetupDiDestroyDeviceInfoList(h); }
};
using DeviceInfoSet = UniqueHandle<DeviceInfoSetTraits>;

struct DeviceFileTraits {
    using Type = HANDLE;
    static Type None() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Type h) noexcept { DeviceApi().CloseHandle(h); }
};
using DeviceFile = UniqueHandle<DeviceFileTraits>;

struct DeviceLibraryTraits {
    using Type = HMODULE;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { DeviceApi().FreeLibrary(h); }
};
using DeviceLibrary = UniqueHandle<DeviceLibraryTraits>;
