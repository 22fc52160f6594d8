#include "service/wnp/RequestHandling.h"

#include "devices/DeviceControl.h"
#include "devices/Eject.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"
#include "service/ipc/TaloRequest.h"
#include "service/wnp/RegisteredAdapterCheck.h"
#include "service/wnp/RequestPolicy.h"
#include "service/wnp/ServiceLifeCycle.h"

// Each handler works on the service's own copy of the request and leaves the
// reply in its Result; a request that the service does not carry out for user
// programs is answered -1 (registry) or 1 (devices) with nothing done.

namespace {

constexpr int kSwitchMode = 1;

// The device list as stored under HKEY_LOCAL_MACHINE, read value by value as the
// checks ask: the service is the list's only writer, one request at a time.
class CMachineDeviceList : public CStoredDeviceList {
public:
    CMachineDeviceList() { key_.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ); }

    DWORD Count() const override { return key_.GetDWord(kDeviceNumValue, 0, 0); }

    bool Text(const std::wstring& valueName, std::wstring& text) const override
    {
        DWORD type = REG_NONE;
        const CcString stored = key_.GetString(valueName.c_str(), L"", 0, &type);
        text = stored.GetString();
        return type == REG_SZ;
    }

private:
    mutable CcRegistry key_;
};

// 0 once the value is written: a key that opens is not yet a value written.
void WriteValue(TALO_REQUEST& request, DWORD type)
{
    request.Result = -1;
    const CMachineDeviceList list;
    if (!IsPermittedRegistryRequest(request) || !IsAllowedDeviceListWrite(request, list) ||
        !IsRegistrableDeviceListWrite(request, list)) {
        return;
    }
    const TALO_REGISTRY_REQUEST& fields = request.Body.Registry;
    CcRegistry key;
    if (!key.CreateKeyWithoutLinks(fields.KeyPath, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS))
        return;
    const int written = type == REG_DWORD ? key.SetDWord(fields.ValueName, fields.Data.Number)
                                          : key.SetValue(fields.ValueName, fields.Data.Text, REG_SZ, 0);
    if (!written)
        return;
    request.Result = 0;
    // Read again even if the key's last-write time stayed within the clock's tick.
    if (lstrcmpiW(fields.KeyPath, kDeviceListKey) == 0)
        g_devicePolicy.ForgetDeviceList();
}

void SwitchDevices(TALO_REQUEST& request, int requestedState)
{
    if (!g_devicePolicy.Permits(ServiceFolder(), request)) {
        request.Result = 1;
        return;
    }
    const TALO_DEVICE_REQUEST& fields = request.Body.Device;
    int state = requestedState;
    int restartNeeded = 0;
    const int done = fields.HwIdPrefix[0] != L'\0'
                         ? DeviceCtlByHwId(kSwitchMode, &state, fields.ClassName, fields.HwIdPrefix,
                                           &restartNeeded, nullptr)
                         : DeviceCtlByClass(fields.ClassName, kSwitchMode, &state, &restartNeeded);
    request.Result = !done ? kDeviceResultFailed : restartNeeded ? kDeviceResultRestart : kDeviceResultSwitched;
}

// Dispatches only for a signalled request; the stop comes first when both are
// set, and a failed wait ends the service rather than dispatch.
void ServeRequests(HANDLE request, HANDLE completion)
{
    const HANDLE wakeUps[] = {g_stopFlag.Get(), request};
    while (WaitForMultipleObjects(2, wakeUps, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        DispatchRequest();
        // The reply is in the block before the request event clears: a client
        // takes its completion as its own only once that event is clear.
        ResetEvent(request);
        SetEvent(completion);
    }
}

} // namespace

// Startup created both events before it started the service.
DWORD WINAPI RequestWorker(void*)
{
    const HANDLE request = g_requestEvent.Get();
    const HANDLE completion = g_completionEvent.Get();
    ServeRequests(request, completion);
    // Clients signal only together with a write into the block, so once it is
    // closed nobody can signal any more, and this answer reaches every client
    // that still waits: it reads back no block and reports -1.
    g_block.CloseBlock();
    ResetEvent(request);
    SetEvent(completion);
    return 0;
}

void DispatchRequest()
{
    TALO_REQUEST request;
    if (!g_block.ReadBlock(&request, sizeof(request)))
        return;
    switch (request.Code) {
    case REQ_SET_DWORD:
        WriteValue(request, REG_DWORD);
        break;
    case REQ_SET_STRING:
        WriteValue(request, REG_SZ);
        break;
    case REQ_ENABLE_DEVICE:
        SwitchDevices(request, 1);
        break;
    case REQ_DISABLE_DEVICE:
        SwitchDevices(request, 0);
        break;
    case REQ_EJECT_MEDIA:
        request.Result = EjectCdromDevice();
        break;
    default:
        break;
    }
    g_block.WriteBlock(&request, sizeof(request));
}
