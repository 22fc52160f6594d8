#include "tests/service/TestRequests.h"

#include "service/ipc/RequestFields.h"

#include <gtest/gtest.h>

#include <cstring>

TALO_REQUEST NewRequest(DWORD code)
{
    TALO_REQUEST request = {};
    request.Code = code;
    request.Result = -1;
    return request;
}

TALO_REQUEST RegistryRequest(DWORD code, const std::wstring& key, const std::wstring& value, DWORD number,
                             const std::wstring& text)
{
    TALO_REQUEST request = NewRequest(code);
    EXPECT_TRUE(CopyToField(request.Body.Registry.KeyPath, key.c_str()));
    EXPECT_TRUE(CopyToField(request.Body.Registry.ValueName, value.c_str()));
    if (code == REQ_SET_STRING)
        EXPECT_TRUE(CopyToField(request.Body.Registry.Data.Text, text.c_str()));
    else
        request.Body.Registry.Data.Number = number;
    return request;
}

TALO_REQUEST DeviceRequest(DWORD code, const std::wstring& className, const std::wstring& prefix)
{
    TALO_REQUEST request = NewRequest(code);
    EXPECT_TRUE(CopyToField(request.Body.Device.ClassName, className.c_str()));
    EXPECT_TRUE(CopyToField(request.Body.Device.HwIdPrefix, prefix.c_str()));
    return request;
}

TALO_REQUEST PatternRequest(DWORD code, unsigned seed)
{
    TALO_REQUEST request;
    auto* bytes = reinterpret_cast<unsigned char*>(&request);
    for (size_t i = 0; i < sizeof(request); ++i)
        bytes[i] = static_cast<unsigned char>(seed * 31 + i * 7 + 1);
    request.Code = code;
    request.Result = -1;
    return request;
}

bool SameBytes(const TALO_REQUEST& a, const TALO_REQUEST& b)
{
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

SimDevice SimulatedDevice(const std::wstring& prefix)
{
    for (const SimDevice& device : CSimNotebook().Devices()) {
        if (device.hardwareIds.front().compare(0, prefix.size(), prefix) == 0)
            return device;
    }
    ADD_FAILURE() << "no simulated device";
    return SimDevice();
}
