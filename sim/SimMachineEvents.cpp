// The simulated binding's machine events: the network adapters' media state from
// the notebook's cable, interface-change notifications when the cable changes,
// and the power source.
#include "devices/MachineEventApi.h"

#include "sim/SimNotebook.h"
#include "sim/SimRegistry.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace {

// A registration of NotifyIpInterfaceChange: a thread of its own watches the
// machine's root key and calls back when the cable state changes, in whatever
// process changed it. The watch ends (its thread joined) with the object.
struct InterfaceWatch {
    InterfaceWatch(PIPINTERFACE_CHANGE_CALLBACK callback, void* context);
    ~InterfaceWatch();
    InterfaceWatch(const InterfaceWatch&) = delete;
    InterfaceWatch& operator=(const InterfaceWatch&) = delete;

    bool Started() const { return thread.joinable(); }

    PIPINTERFACE_CHANGE_CALLBACK callback = nullptr;
    void* context = nullptr;
    KernelHandle stop;
    std::thread thread;
};

// The simulated binding of the machine events.
class CSimMachineEventApi final : public IMachineEventApi {
public:
    DWORD GetIfTable2(MIB_IF_TABLE2** table) override;
    void FreeMibTable(void* memory) override;
    DWORD NotifyIpInterfaceChange(ADDRESS_FAMILY family, PIPINTERFACE_CHANGE_CALLBACK callback, void* callerContext,
                                  BOOLEAN initialNotification, HANDLE* notificationHandle) override;
    DWORD CancelMibChangeNotify2(HANDLE notificationHandle) override;
    BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) override;

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<InterfaceWatch>> watches_;
};

MIB_IF_ROW2 AdapterRow(NET_IFINDEX index, IFTYPE type, bool hardware, bool connected, const wchar_t* description)
{
    MIB_IF_ROW2 row = {};
    row.InterfaceIndex = index;
    row.Type = type;
    row.InterfaceAndOperStatusFlags.HardwareInterface = hardware ? TRUE : FALSE;
    row.MediaConnectState = connected ? MediaConnectStateConnected : MediaConnectStateDisconnected;
    row.OperStatus = connected ? IfOperStatusUp : IfOperStatusDown;
    lstrcpynW(row.Description, description, ARRAYSIZE(row.Description));
    return row;
}

InterfaceWatch::InterfaceWatch(PIPINTERFACE_CHANGE_CALLBACK callback_, void* context_)
    : callback(callback_), context(context_), stop(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    RegKey root = simreg::Open(HKEY_LOCAL_MACHINE, CSimNotebook::RootPath(), KEY_READ | KEY_NOTIFY);
    KernelHandle changed(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!stop || !root || !changed)
        return;
    thread = std::thread([this, root = std::move(root), changed = std::move(changed)]() {
        const CSimNotebook notebook;
        bool plugged = notebook.CablePlugged();
        for (;;) {
            // The cable is a value on the root key; a change of it is what Windows reports as an
            // interface change. Other writes there wake the watch but call nobody.
            if (RegNotifyChangeKeyValue(root.Get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.Get(), TRUE) !=
                ERROR_SUCCESS)
                return;
            const HANDLE waits[] = {stop.Get(), changed.Get()};
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
                return;
            const bool now = notebook.CablePlugged();
            if (now != plugged)
                callback(context, nullptr, MibParameterNotification);
            plugged = now;
        }
    });
}

InterfaceWatch::~InterfaceWatch()
{
    if (!thread.joinable())
        return;
    SetEvent(stop.Get());
    thread.join();
}

// Rows for the notebook's network cards: the WLAN adapters (those that answer the
// 802.11 query), the wired ones with the cable's media state, a virtual Ethernet
// adapter that is always connected, and the loopback interface.
DWORD CSimMachineEventApi::GetIfTable2(MIB_IF_TABLE2** table)
{
    if (!table)
        return ERROR_INVALID_PARAMETER;
    const CSimNotebook notebook;
    std::vector<MIB_IF_ROW2> rows;
    rows.push_back(AdapterRow(1, IF_TYPE_SOFTWARE_LOOPBACK, false, true, L"Loopback Pseudo-Interface 1"));
    for (const SimNdisAdapter& adapter : notebook.NdisAdapters()) {
        const bool works = adapter.device == 0 || notebook.IsDeviceWorking(adapter.device);
        const NET_IFINDEX index = static_cast<NET_IFINDEX>(rows.size() + 1);
        rows.push_back(adapter.answers
                           ? AdapterRow(index, IF_TYPE_IEEE80211, true, works, adapter.serviceName.c_str())
                           : AdapterRow(index, IF_TYPE_ETHERNET_CSMACD, true, works && notebook.CablePlugged(),
                                        adapter.serviceName.c_str()));
    }
    rows.push_back(AdapterRow(static_cast<NET_IFINDEX>(rows.size() + 1), IF_TYPE_ETHERNET_CSMACD, false, true,
                              L"Virtual Ethernet Adapter"));

    const size_t bytes = offsetof(MIB_IF_TABLE2, Table) + rows.size() * sizeof(MIB_IF_ROW2);
    auto* result = static_cast<MIB_IF_TABLE2*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (!result)
        return ERROR_NOT_ENOUGH_MEMORY;
    result->NumEntries = static_cast<ULONG>(rows.size());
    std::copy(rows.begin(), rows.end(), result->Table);
    *table = result;
    return NO_ERROR;
}

void CSimMachineEventApi::FreeMibTable(void* memory)
{
    if (memory)
        HeapFree(GetProcessHeap(), 0, memory);
}

DWORD CSimMachineEventApi::NotifyIpInterfaceChange(ADDRESS_FAMILY, PIPINTERFACE_CHANGE_CALLBACK callback,
                                             void* callerContext, BOOLEAN initialNotification,
                                             HANDLE* notificationHandle)
{
    if (!callback || !notificationHandle)
        return ERROR_INVALID_PARAMETER;
    std::unique_ptr<InterfaceWatch> watch(new (std::nothrow) InterfaceWatch(callback, callerContext));
    if (!watch || !watch->Started())
        return ERROR_NOT_ENOUGH_MEMORY;
    if (initialNotification)
        callback(callerContext, nullptr, MibInitialNotification);
    *notificationHandle = watch.get();
    std::lock_guard<std::mutex> lock(mutex_);
    watches_.push_back(std::move(watch));
    return NO_ERROR;
}

DWORD CSimMachineEventApi::CancelMibChangeNotify2(HANDLE notificationHandle)
{
    std::unique_ptr<InterfaceWatch> watch;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = std::find_if(watches_.begin(), watches_.end(),
                                        [&](const auto& entry) { return entry.get() == notificationHandle; });
        if (found == watches_.end())
            return ERROR_INVALID_HANDLE;
        watch = std::move(*found);
        watches_.erase(found);
    }
    // Joined outside the lock: the callback may call into this binding.
    watch.reset();
    return NO_ERROR;
}

BOOL CSimMachineEventApi::GetSystemPowerStatus(SYSTEM_POWER_STATUS* status)
{
    if (!status) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const CSimNotebook notebook;
    *status = {};
    const bool onBattery = notebook.OnBattery();
    status->ACLineStatus = onBattery ? 0 : 1;
    status->BatteryFlag = onBattery ? 1 : 8; // high, or charging
    status->BatteryLifePercent = 80;
    status->BatteryLifeTime = onBattery ? 3 * 3600 : static_cast<DWORD>(-1);
    status->BatteryFullLifeTime = static_cast<DWORD>(-1);
    return TRUE;
}

} // namespace

IMachineEventApi& MachineEventApi()
{
    static CSimMachineEventApi api;
    return api;
}
