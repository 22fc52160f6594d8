#include "devices/BtSwPowerCtl.h"

#include "devices/BtSwCodes.h"
#include "devices/DeviceApi.h"

#include <cstddef>
#include <cwchar>

namespace {

constexpr DWORD kMinPathChars = 11;
constexpr DWORD kDevicePathChars = 256;
constexpr int kRadioWaitChecks = 100;
constexpr DWORD kRadioWaitStepMs = 100;

bool IsRadioPresent()
{
    wchar_t path[kDevicePathChars];
    return CBtSwPowerCtl::FindInterfacePath(&GUID_BTSW_RADIO, path, kDevicePathChars) != 0;
}

} // namespace

int CBtSwPowerCtl::FindInterfacePath(const GUID* interfaceGuid, wchar_t* pathOut, DWORD maxChars)
{
    if (!interfaceGuid || !pathOut || maxChars < kMinPathChars)
        return 0;
    IDeviceApi& api = DeviceApi();
    DeviceInfoSet set(api.SetupDiGetClassDevsW(interfaceGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set)
        return 0;
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(data);
    // Only the first interface counts.
    if (!api.SetupDiEnumDeviceInterfaces(set.Get(), nullptr, interfaceGuid, 0, &data))
        return 0;
    DWORD required = 0;
    api.SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
        return 0;
    LocalMemory memory(LocalAlloc(LPTR, required));
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(memory.Get());
    if (!detail)
        return 0;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!api.SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, detail, required, nullptr, nullptr))
        return 0;
    const size_t pathChars = (required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(wchar_t);
    const size_t length = wcsnlen(detail->DevicePath, pathChars);
    // A cut path would name another device.
    if (length >= maxChars)
        return 0;
    wmemcpy(pathOut, detail->DevicePath, length);
    pathOut[length] = L'\0';
    return 1;
}

int CBtSwPowerCtl::Open()
{
    if (device_)
        return 1;
    wchar_t path[kDevicePathChars];
    if (!FindInterfacePath(&GUID_BTSW_CONTROL, path, kDevicePathChars))
        return 0;
    device_.Reset(DeviceApi().CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return device_ ? 1 : 0;
}

void CBtSwPowerCtl::Close()
{
    device_.Reset();
}

BOOL CBtSwPowerCtl::IoControl(DWORD code, void* inBuffer, DWORD inLength, void* outBuffer, DWORD outLength,
                              DWORD* bytesReturned, OVERLAPPED* overlapped)
{
    if (!device_)
        return FALSE;
    DWORD scratch = 0;
    return DeviceApi().DeviceIoControl(device_.Get(), code, inBuffer, inLength, outBuffer, outLength,
                                       bytesReturned ? bytesReturned : &scratch, overlapped);
}

int CBtSwPowerCtl::QueryRadio(int* on)
{
    if (!on)
        return 0;
    *on = 0;
    const int opened = Open();
    if (opened) {
        *on = IsRadioPresent() ? 1 : 0;
        Close();
    }
    return opened;
}

int CBtSwPowerCtl::PowerOn()
{
    if (!Open())
        return 0;
    IoControl(IOCTL_BTSW_PRE_ON, nullptr, 0, nullptr, 0, nullptr, nullptr);
    const int result = IoControl(IOCTL_BTSW_ON, nullptr, 0, nullptr, 0, nullptr, nullptr) ? 1 : 0;
    Close();
    return result;
}

int CBtSwPowerCtl::PowerOff()
{
    if (!Open())
        return 0;
    const int result = IoControl(IOCTL_BTSW_OFF, nullptr, 0, nullptr, 0, nullptr, nullptr) ? 1 : 0;
    // The stack removes the radio interface in its own time; the post-off code follows either way.
    for (int check = 0; check < kRadioWaitChecks && IsRadioPresent(); ++check)
        Sleep(kRadioWaitStepMs);
    IoControl(IOCTL_BTSW_POST_OFF, nullptr, 0, nullptr, 0, nullptr, nullptr);
    Close();
    return result;
}

int GetBtPower(int* on)
{
    if (!on)
        return 0;
    CBtSwPowerCtl control;
    return control.QueryRadio(on);
}

int SetBtPower(int turnOn)
{
    int on = 0;
    if (!GetBtPower(&on))
        return 0;
    if ((on != 0) == (turnOn != 0))
        return 1;
    CBtSwPowerCtl control;
    return turnOn ? control.PowerOn() : control.PowerOff();
}
