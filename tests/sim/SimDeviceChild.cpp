// A second process on the simulated notebook, for the cross-process tests.
//   query <class> <prefix>          exit code: the state code + 1
//   switch <class> <prefix> on|off  exit code: the switch result
//   radio                           exit code: 1 while the radio interface is present
#include "devices/BtSwCodes.h"
#include "devices/DeviceApi.h"
#include "devices/DeviceControl.h"

#include <string>

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"query" && argc == 4) {
        int state = 42;
        DeviceCtlByHwId(0, &state, argv[2], argv[3], nullptr);
        return state + 1;
    }
    if (command == L"switch" && argc == 5) {
        int enable = std::wstring(argv[4]) == L"on";
        return DeviceCtlByHwId(1, &enable, argv[2], argv[3], nullptr);
    }
    if (command == L"radio" && argc == 2) {
        IDeviceApi& api = DeviceApi();
        DeviceInfoSet set(api.SetupDiGetClassDevsW(&GUID_BTSW_RADIO, nullptr, nullptr,
                                                   DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
        SP_DEVICE_INTERFACE_DATA data = {};
        data.cbSize = sizeof(data);
        return set && api.SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &GUID_BTSW_RADIO, 0, &data) ? 1 : 0;
    }
    return 100;
}
