#include "devices/DeviceApi.h"

#include <atomic>

namespace {
std::atomic<IDeviceApi*> g_testApi{nullptr};
}

IDeviceApi& DeviceApi()
{
    IDeviceApi* api = g_testApi.load();
    return api ? *api : DefaultDeviceApi();
}

void SetDeviceApiForTest(IDeviceApi* api)
{
    g_testApi.store(api);
}
