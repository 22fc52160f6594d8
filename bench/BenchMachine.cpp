#include "bench/BenchMachine.h"

#include "automation/InstalledService.h"
#include "foundation/Names.h"
#include "sim/SimNotebook.h"

namespace {

constexpr wchar_t kPresetsKey[] = L"SOFTWARE\\Korvath\\Airvane\\Setting";

std::wstring CardKey(int number)
{
    return L"AirvaneBench" + std::to_wstring(number);
}

} // namespace

BenchMachine::BenchMachine()
    : deviceList_(HKEY_LOCAL_MACHINE, kDeviceListKey), companionFlag_(HKEY_LOCAL_MACHINE, kCompanionFlagKey),
      presets_(HKEY_CURRENT_USER, kPresetsKey)
{
    SetEnvironmentVariableW(L"AIRVANE_SIM_ROOT", nullptr);
    // The programs find the demo adapter as new and register it, as on a first start.
    deviceList_.Remove();
    presets_.Remove();
    CSimNotebook notebook;
    ready_ = SeedDemoNotebook(notebook) == 1 && InstallAndStartService();
}

BenchMachine::~BenchMachine()
{
    StopAndRemoveService();
    CSimNotebook().Clear();
}

bool BenchMachine::AddWlanAdapter(int number, const std::wstring& hwId, const std::wstring& description)
{
    CSimNotebook notebook;
    SimDevice device;
    device.className = kNetworkCardClass;
    device.enumerator = L"PCI";
    device.hardwareIds = {hwId};
    device.description = description;
    const DWORD added = notebook.AddDevice(device);
    const std::wstring service = L"{svc-" + CardKey(number) + L"}";
    return added && notebook.AddNetworkCard(CardKey(number), description, service) &&
           notebook.AddWlanInterface({description, added}) && notebook.AddNdisAdapter({service, true, added});
}
