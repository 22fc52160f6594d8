#include "service/wnp/RequestPolicy.h"

#include "BlockView.h"
#include "foundation/Names.h"

#include <algorithm>
#include <string>

// libFuzzer's entry: every input is one request block (cut or padded with zeros
// to 1160 bytes), checked as a registry request and as a device request. The
// sanitizers catch any read past a field; the checks below catch a request
// let through that the rules forbid.

namespace {

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
    }
    return text;
}

template <size_t N>
bool IsTerminated(const wchar_t (&field)[N])
{
    return std::find(field, field + N, L'\0') != field + N;
}

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

const CDevicePolicy& Policy()
{
    static const CDevicePolicy policy = [] {
        CDevicePolicy named;
        named.AddNamedDevice(L"Bluetooth", L"");
        named.AddNamedDevice(L"USB", L"USB\\VID_1E0E&PID_9001");
        named.AddNamedDevice(L"Ports", L"USB\\VID_1E0E&PID_9001&MI_01");
        named.AddRegisteredHwId(L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01");
        return named;
    }();
    return policy;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::uint8_t block[kBlockBytes] = {};
    std::copy(data, data + std::min(size, kBlockBytes), block);

    const TALO_REQUEST registry = RegistryView(block);
    const TALO_REGISTRY_REQUEST& fields = registry.Body.Registry;
    if (IsPermittedRegistryRequest(registry)) {
        Require(IsTerminated(fields.KeyPath) && IsTerminated(fields.ValueName));
        const std::wstring key = Lower(fields.KeyPath);
        if (registry.Code == REQ_SET_STRING) {
            Require(IsTerminated(fields.Data.Text) && key == Lower(kDeviceListKey));
        } else {
            Require(registry.Code == REQ_SET_DWORD);
            Require(key == Lower(kDeviceListKey) || (key == Lower(kCompanionFlagKey) && fields.Data.Number <= 1));
        }
    }
    if (IsTerminated(fields.ValueName)) {
        for (const wchar_t* suffix : {L"_HwId", L"_Class", L""}) {
            const long long index = DeviceRecordIndex(fields.ValueName, suffix);
            Require(index >= -1 && index <= 2147483647LL);
        }
    }

    const TALO_REQUEST device = DeviceView(block);
    if (IsPermittedDeviceRequest(device, Policy())) {
        Require(device.Code == REQ_ENABLE_DEVICE || device.Code == REQ_DISABLE_DEVICE);
        Require(IsTerminated(device.Body.Device.ClassName) && IsTerminated(device.Body.Device.HwIdPrefix));
        Require(device.Body.Device.ClassName[0] != L'\0');
    }
    return 0;
}
