#pragma once

#include "devices/DeviceApi.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// An in-memory device seam for unit tests: a list of devices, setup classes by
// name, a log of every call and failures injected at precise calls. Device I/O
// and the WLAN library are not modelled; they fail with ERROR_CALL_NOT_IMPLEMENTED
// unless a test overrides them.
class FakeDeviceApi : public IDeviceApi {
public:
    enum class Op {
        ClassGuids,       // detail: the capacity passed
        GetClassDevs,     // detail: the flags
        ListDetail,
        EnumDevice,       // detail: the index
        Property,         // detail: the property
        SetParams,        // detail: the scope, extra: the state change
        CallInstaller,    // detail: the install function
        GetInstallParams,
        SetInstallParams, // detail: the flags
        DevNodeStatus,
        RequestEject,     // detail: the flags
        QueryRemove,      // detail: the flags
        DestroyList,
    };
    static constexpr int kNoDevice = -1;
    static constexpr DWORD kAnyDetail = 0xFFFFFFFF;

    struct Device {
        GUID classGuid = {};
        std::wstring enumerator;
        std::wstring className; // SPDRP_CLASS
        std::vector<std::wstring> hardwareIds;
        std::optional<std::wstring> friendlyName;
        std::optional<std::wstring> description;
        bool present = true;
        ULONG status = DN_STARTED | DN_DRIVER_LOADED | DN_DISABLEABLE;
        ULONG problem = 0;
        DWORD installFlags = 0;           // reported after a class-installer call
        CONFIGRET ejectResult = CR_SUCCESS; // of an eject or removal
    };

    struct Call {
        Op op;
        int device; // index into devices, or kNoDevice
        DWORD detail;
        DWORD extra;
    };

    // A failure injected at the calls it matches; the first match wins.
    class Fault {
    public:
        explicit Fault(Op op) : op_(op) {}
        Fault& OnDevice(int device) { device_ = device; return *this; }
        Fault& WithDetail(DWORD detail) { detail_ = detail; return *this; }
        Fault& OnlyCall(int nth) { nth_ = nth; return *this; } // the nth matching call, from 1
        Fault& WithError(DWORD error) { error_ = error; return *this; }

    private:
        friend class FakeDeviceApi;
        bool Matches(const Call& call);
        Op op_;
        int device_ = kNoDevice;
        DWORD detail_ = kAnyDetail;
        int nth_ = 0;
        int seen_ = 0;
        DWORD error_ = ERROR_GEN_FAILURE;
    };

    FakeDeviceApi();
    ~FakeDeviceApi() override;

    // Machine description.
    void AddClass(const std::wstring& name, const GUID& guid);
    int AddDevice(const Device& device); // its index
    std::vector<Device> devices;

    // Failure injection and the call log.
    Fault& Fail(Op op);
    std::vector<Call> calls;
    std::vector<Call> CallsOf(Op op) const;
    bool IsDisabled(int device) const;
    size_t OpenSets() const { return sets_.size(); }

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

private:
    struct Set {
        std::vector<int> devices;
        std::vector<std::optional<SP_PROPCHANGE_PARAMS>> params;
    };
    struct ClassEntry {
        std::wstring name;
        std::vector<GUID> guids;
    };

    // Logs the call; true (with the fault's error as last error) when a fault matches it.
    bool Record(Op op, int device, DWORD detail = 0, DWORD extra = 0);
    Set* FindSet(HDEVINFO handle);
    // The device behind a set member, or kNoDevice with the last error set.
    int Member(HDEVINFO handle, const SP_DEVINFO_DATA* data, Set** set = nullptr);

    std::vector<ClassEntry> classes_;
    std::vector<std::unique_ptr<Set>> sets_;
    std::deque<Fault> faults_;
};

// Installs a fake as the process's device seam for the life of a test.
class ScopedDeviceApi {
public:
    explicit ScopedDeviceApi(IDeviceApi& api) { SetDeviceApiForTest(&api); }
    ~ScopedDeviceApi() { SetDeviceApiForTest(nullptr); }
    ScopedDeviceApi(const ScopedDeviceApi&) = delete;
    ScopedDeviceApi& operator=(const ScopedDeviceApi&) = delete;
};
