#pragma once

#include "foundation/Handle.h"

#include <windows.h>
#include <cfgmgr32.h>

#include <optional>
#include <string>
#include <vector>

// The simulated notebook: one machine whose state lives in the registry (HKLM,
// under the simulator's own key), so that every process sees the same devices.
// Tests describe their machines with this class; the simulated device binding
// and the AirvaneSim tool read and change the same state.

// Failures that can be injected into one simulated device (SimDevice::failures).
namespace simfail {
constexpr DWORD kClassInstaller = 0x001; // the class installer refuses the device
constexpr DWORD kInstallParams = 0x002;  // its class-install parameters cannot be set
constexpr DWORD kStatus = 0x004;         // its device-node status cannot be read
constexpr DWORD kHardwareId = 0x010;     // a property cannot be read
constexpr DWORD kFriendlyName = 0x020;
constexpr DWORD kDeviceDesc = 0x040;
constexpr DWORD kClass = 0x080;
constexpr DWORD kEject = 0x100; // eject and removal are vetoed
constexpr DWORD kEnable = 0x200; // the class installer refuses to enable it; disabling works
} // namespace simfail

struct SimDevice {
    DWORD number = 0;        // given when the device is added; also its DevInst
    std::wstring instanceId; // made from the first hardware ID and the number when empty
    std::wstring enumerator;
    std::wstring className;
    GUID classGuid = {}; // GUID_NULL: the first GUID of className
    std::vector<std::wstring> hardwareIds;
    std::optional<std::wstring> friendlyName; // none: the property is missing
    std::wstring description;
    bool present = true;
    bool disabledGlobal = false; // disabled in every hardware profile
    bool disabledConfig = false; // disabled in the current hardware profile
    ULONG problem = 0;           // a problem other than "disabled", e.g. CM_PROB_FAILED_INSTALL
    ULONG capabilities = DN_DISABLEABLE; // DN_DISABLEABLE, DN_REMOVABLE
    bool restartOnChange = false;        // a change of state asks for a restart and waits for it
    std::optional<bool> pendingDisabled; // the state a restart gives a restartOnChange device
    DWORD latencyMs = 0;                 // what one switch by the class installer takes
    DWORD parent = 0;                    // present only while this device works; 0: no parent
    DWORD failures = 0;                  // simfail bits

    bool Disabled() const { return disabledGlobal || disabledConfig; }
};

// One switch that the class installer received (its configuration-specific call,
// which every enable and disable makes), in the order received.
struct SimInstallerCall {
    DWORD device = 0;
    bool enable = false;
    std::wstring outcome; // "ok", "restart pending" or "failed"
    bool quiet = false;   // DI_QUIETINSTALL was set on the device
};

// One change of a device's state by the class installer, in the order they happened.
struct SimStateChange {
    DWORD device = 0;
    bool disabled = false;
};

struct SimInterface {
    DWORD number = 0; // given when the interface is added
    GUID interfaceGuid = {};
    std::wstring path;
    bool present = true; // as of now, a pending change included
};

struct SimWlanService {
    bool libraryPresent = true; // "Wlanapi.dll" can be loaded
    bool running = true;
};

struct SimWlanInterface {
    std::wstring description;
    DWORD device = 0; // listed only while this device works; 0: always listed
};

struct SimNdisAdapter {
    std::wstring serviceName;
    bool answers = false; // answers the 802.11 SSID query
    DWORD device = 0;     // reachable only while this device works; 0: always
};

class CSimNotebook {
public:
    // Opens the machine, creating its key when missing.
    CSimNotebook();
    virtual ~CSimNotebook() = default;

    bool IsOpen() const { return root_.IsValid(); }

    // The machine's key under HKLM: "SOFTWARE\AirvaneSim", or AIRVANE_SIM_ROOT when set
    // (tests use their own key; child processes inherit it).
    static std::wstring RootPath();

    // Removes every device, interface and setting, and the real keys the machine wrote.
    int Clear();

    // Setup classes: one name may map to several GUIDs, in the order added.
    int AddClass(const std::wstring& name, const GUID& guid);
    std::vector<GUID> ClassGuids(const std::wstring& name) const;
    std::vector<std::wstring> ClassNames() const;

    // Devices, in the order added.
    struct DeviceFilter {
        const GUID* classGuid = nullptr;   // null: every class
        const wchar_t* enumerator = nullptr; // null: every enumerator
        bool presentOnly = false;
    };
    DWORD AddDevice(SimDevice device); // the new device's number, 0 on failure
    bool ReadDevice(DWORD number, SimDevice& device) const;
    std::vector<SimDevice> Devices(const DeviceFilter& filter) const;
    std::vector<SimDevice> Devices() const { return Devices(DeviceFilter()); }
    DWORD FindDevice(const std::wstring& numberOrInstanceId) const; // 0 when unknown
    int SetDisabled(DWORD number, bool disabledGlobal, bool disabledConfig);
    int SetPresent(DWORD number, bool present);
    int SetProblem(DWORD number, ULONG problem);
    int SetFailures(DWORD number, DWORD failures);
    int SetLatency(DWORD number, DWORD latencyMs);
    int SetPendingChange(DWORD number, std::optional<bool> pendingDisabled);
    int SetRestartOnChange(DWORD number, bool restartOnChange);
    // Plays a restart: every pending change takes effect.
    int Restart();
    bool IsDeviceWorking(DWORD number) const; // present, enabled, without a problem

    // The log of state changes that the class installer made, oldest first (Clear empties it).
    int RecordStateChange(DWORD number, bool disabled);
    std::vector<SimStateChange> StateChanges() const;

    // The log of switches the class installer received, oldest first (Clear empties it).
    int RecordInstallerCall(const SimInstallerCall& call);
    std::vector<SimInstallerCall> InstallerCalls() const;
    int ClearInstallerCalls();

    // Device interfaces. A scheduled change takes effect at its due time, for every process.
    DWORD AddInterface(const GUID& interfaceGuid, const std::wstring& path, bool present);
    std::vector<SimInterface> Interfaces() const;
    int ScheduleInterfaces(const GUID& interfaceGuid, bool present, DWORD delayMs);

    // The Bluetooth control device: how its on and off codes act, and what it was sent.
    int SetBluetoothSwitch(DWORD delayMs, bool refuses);
    DWORD BluetoothSwitchDelay() const;
    bool BluetoothRefusesSwitch() const;
    int RecordBluetoothCode(DWORD code);
    std::vector<DWORD> BluetoothCodes() const;

    // The WLAN service.
    int SetWlanService(const SimWlanService& service);
    SimWlanService WlanService() const;
    int AddWlanInterface(const SimWlanInterface& wlanInterface);
    std::vector<SimWlanInterface> WlanInterfaces() const;
    std::vector<std::wstring> ListedWlanInterfaces() const; // as the service lists them now
    int RecordWlanClientVersion(DWORD version);
    DWORD LastWlanClientVersion() const;

    // Adapters that take the NDIS query, by service name.
    int AddNdisAdapter(const SimNdisAdapter& adapter);
    std::vector<SimNdisAdapter> NdisAdapters() const;
    bool FindNdisAdapter(const std::wstring& serviceName, SimNdisAdapter& adapter) const;

    // The network cable of the wired adapters and the power source.
    int SetCablePlugged(bool plugged);
    bool CablePlugged() const;
    int SetOnBattery(bool onBattery);
    bool OnBattery() const;

    // DOS device names, as DefineDosDeviceW leaves them.
    bool QueryDosDevice(const std::wstring& name, std::wstring& target) const;
    int DefineDosDevice(const std::wstring& name, const std::wstring& target);
    int RemoveDosDevice(const std::wstring& name);

    // Real registry keys under HKLM that belong to the machine (network cards, the
    // Bluetooth stack's service keys); Clear removes what they created.
    int AddNetworkCard(const std::wstring& cardKey, const std::wstring& description, const std::wstring& serviceName);
    int AddRealKey(const std::wstring& path);

private:
    RegKey OpenSub(const std::wstring& path, REGSAM access = KEY_READ) const;
    RegKey CreateSub(const std::wstring& path) const;
    DWORD NextNumber(const wchar_t* collection);
    bool WriteDevice(const SimDevice& device);
    // Reads device number, lets change alter it and writes it back: 1, or 0 when unknown.
    template <typename Change>
    int UpdateDevice(DWORD number, Change change)
    {
        SimDevice device;
        if (!ReadDevice(number, device))
            return 0;
        change(device);
        return WriteDevice(device) ? 1 : 0;
    }
    void RememberCreatedKey(const std::wstring& path);
    // Makes the children of device number present exactly while it works.
    void UpdateChildren(DWORD number);

    RegKey root_;
};

// Writes the standard demo notebook (after clearing the machine).
int SeedDemoNotebook(CSimNotebook& notebook);

// Writes a notebook of today (after clearing the machine): its Bluetooth radio on
// the operating system's own stack, with children that come and go with it, and
// switches that take as long as real devices take.
int SeedModernNotebook(CSimNotebook& notebook);
