// The settings program's catalog options: the radio behind the Bluetooth stack's
// control device. Only this file links the Bluetooth code into a catalog.
#include "catalog/DeviceCatalog.h"

#include "devices/BtStackPresence.h"
#include "devices/BtSwPowerCtl.h"
#include "devices/WlanDetection.h"

namespace {

class CStackBluetoothRadio : public IBluetoothRadio {
public:
    bool IsStackInstalled() const override { return IsKvrfusbPresent() || IsKvrfbdPresent(); }

    bool ReadPower(bool& on) const override
    {
        int power = 0;
        if (!GetBtPower(&power))
            return false;
        on = power != 0;
        return true;
    }
};

} // namespace

CatalogOptions SettingsCatalogOptions()
{
    static const CStackBluetoothRadio radio;
    CatalogOptions options;
    options.wlanClientVersion = kSettingsWlanClientVersion;
    options.bluetooth = &radio;
    return options;
}
