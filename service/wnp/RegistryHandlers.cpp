#include "service/wnp/RequestHandlers.h"

#include "foundation/CcRegistry.h"
#include "foundation/Names.h"
#include "service/wnp/RequestPolicy.h"
#include "service/wnp/ServiceState.h"

namespace {

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
    if (!IsPermittedRegistryRequest(request) || !IsAllowedDeviceListWrite(request, CMachineDeviceList()))
        return;
    const TALO_REGISTRY_REQUEST& fields = request.Body.Registry;
    CcRegistry key;
    if (!key.CreateKey(fields.KeyPath, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS))
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

} // namespace

void HandleSetDWord(TALO_REQUEST& request)
{
    WriteValue(request, REG_DWORD);
}

void HandleSetString(TALO_REQUEST& request)
{
    WriteValue(request, REG_SZ);
}
