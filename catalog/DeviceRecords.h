#pragma once

#include "foundation/CcArray.h"
#include "foundation/CcString.h"

// One switchable device: in the catalog, a device found with its state; in a
// preset, a device with the state it is to be put in.
struct TALO_DEVICEINFO {
    CcString DeviceName;  // shown in lists, menus and messages
    CcString Class;       // setup class name, or kUmtsClassMarker / kBluetoothClassMarker
    CcString HwId;        // hardware-ID prefix within the class; empty: the whole class
    CcString DisplayName; // optional; empty in catalog records
    int Setting = 0;      // preset: 1 switch on, else off. Catalog: 1 enabled, 0 disabled
};

using TaloDeviceArray = CcArray<TALO_DEVICEINFO, TALO_DEVICEINFO&>;

// A named group of devices; the order of Devices is the switching order.
struct TALO_PRESET {
    CcString Name;
    TaloDeviceArray Devices;
    WORD Hotkey = 0; // shortcut key: low byte the virtual-key code, high byte HOTKEYF_* flags; 0: none
    bool Managed = false; // set by the administrator's policy: applied, never changed or deleted

    TALO_PRESET() = default;
    TALO_PRESET(const TALO_PRESET& source);
    // Name, Hotkey and Managed assigned; unless source is this preset, Devices resized
    // to the source's count and each record copied.
    TALO_PRESET& operator=(const TALO_PRESET& source);
};

// The preset list; a preset's index is its number everywhere (registry key, "/p%d", menu position).
using TaloPresetList = CcArray<TALO_PRESET, TALO_PRESET&>;
