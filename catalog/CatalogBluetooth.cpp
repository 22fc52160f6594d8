// The Bluetooth radio of the catalog: the settings program's flavour only.
#include "catalog/DeviceCatalog.h"

#include "devices/BtSwPowerCtl.h"
#include "foundation/Names.h"

void CDeviceCatalog::AddBluetoothRadio()
{
    int on = 0;
    if (GetBtPower(&on))
        Append(kBluetoothRadioName, kBluetoothClassMarker, kBluetoothClassMarker, on ? 1 : 0);
}
