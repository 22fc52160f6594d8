#include "service/ipc/RequestClient.h"

#include "service/ipc/RequestFields.h"

namespace {

// A request with every byte it does not use zero, and Result -1 until answered.
TALO_REQUEST NewRequest(DWORD code)
{
    TALO_REQUEST request = {};
    request.Code = code;
    request.Result = -1;
    return request;
}

bool FillRegistryRequest(TALO_REQUEST& request, const wchar_t* keyPath, const wchar_t* valueName)
{
    return keyPath && valueName && CopyToField(request.Body.Registry.KeyPath, keyPath) &&
           CopyToField(request.Body.Registry.ValueName, valueName);
}

int SwitchDevice(DWORD code, const wchar_t* className, const wchar_t* hwIdPrefix)
{
    TALO_REQUEST request = NewRequest(code);
    if (!className || !CopyToField(request.Body.Device.ClassName, className) ||
        !CopyToField(request.Body.Device.HwIdPrefix, hwIdPrefix ? hwIdPrefix : L"")) {
        return 1;
    }
    SendRequest(request);
    return request.Result;
}

} // namespace

bool RequestSetDWord(const wchar_t* keyPath, const wchar_t* valueName, DWORD number)
{
    TALO_REQUEST request = NewRequest(REQ_SET_DWORD);
    if (!FillRegistryRequest(request, keyPath, valueName))
        return false;
    request.Body.Registry.Data.Number = number;
    SendRequest(request);
    return request.Result == 0;
}

bool RequestSetString(const wchar_t* keyPath, const wchar_t* valueName, const wchar_t* text)
{
    TALO_REQUEST request = NewRequest(REQ_SET_STRING);
    if (!text || !FillRegistryRequest(request, keyPath, valueName) ||
        !CopyToField(request.Body.Registry.Data.Text, text)) {
        return false;
    }
    SendRequest(request);
    return request.Result == 0;
}

int RequestEnableDevice(const wchar_t* className, const wchar_t* hwIdPrefix)
{
    return SwitchDevice(REQ_ENABLE_DEVICE, className, hwIdPrefix);
}

int RequestDisableDevice(const wchar_t* className, const wchar_t* hwIdPrefix)
{
    return SwitchDevice(REQ_DISABLE_DEVICE, className, hwIdPrefix);
}
