#include "service/wnp/RequestHandlers.h"

#include "devices/DeviceControl.h"
#include "devices/Eject.h"
#include "service/wnp/ServiceState.h"

namespace {

constexpr int kSwitchMode = 1;

void SwitchDevices(TALO_REQUEST& request, int requestedState)
{
    if (!g_devicePolicy.Permits(ServiceFolder(), request)) {
        request.Result = 1;
        return;
    }
    const TALO_DEVICE_REQUEST& fields = request.Body.Device;
    int state = requestedState;
    int restartNeeded = 0; // not reported further
    const int done = fields.HwIdPrefix[0] != L'\0'
                         ? DeviceCtlByHwId(kSwitchMode, &state, fields.ClassName, fields.HwIdPrefix,
                                           &restartNeeded, nullptr)
                         : DeviceCtlByClass(fields.ClassName, kSwitchMode, &state, &restartNeeded);
    request.Result = done ? 0 : 1;
}

} // namespace

void HandleEnableDevice(TALO_REQUEST& request)
{
    SwitchDevices(request, 1);
}

void HandleDisableDevice(TALO_REQUEST& request)
{
    SwitchDevices(request, 0);
}

void HandleEjectMedia(TALO_REQUEST& request)
{
    request.Result = EjectCdromDevice();
}
