#include "catalog/DeviceRecords.h"

TALO_PRESET::TALO_PRESET(const TALO_PRESET& source)
{
    *this = source;
}

TALO_PRESET& TALO_PRESET::operator=(const TALO_PRESET& source)
{
    Name = source.Name;
    Hotkey = source.Hotkey;
    Managed = source.Managed;
    if (this != &source) {
        const int count = source.Devices.GetSize();
        Devices.SetSize(count);
        for (int i = 0; i < count; ++i)
            Devices[i] = source.Devices[i];
    }
    return *this;
}
