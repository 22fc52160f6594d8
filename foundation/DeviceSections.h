#pragma once

#include "foundation/CTextMgr.h"

#include <string>
#include <vector>

// The device sections of a text file ("TALOTXT.ini"): the types that "DeviceList"
// lists, the entries of a device section and the entries of "UMTS" with their
// sub-devices. Values come as the text manager reads them, up to 511 characters;
// what a reader accepts beyond that is its own decision.

// One device of a device section, or a root or sub-device of a "UMTS" entry.
struct DeviceSectionEntry {
    std::wstring section;     // the section it came from
    int index = 0;            // its number there (the sub-device's within its entry)
    std::wstring className;   // never empty in the lists below
    std::wstring hwId;        // hardware-ID prefix; empty: the whole class
    std::wstring displayName; // empty for sub-devices, which have none
};

// Entry n of "UMTS": its root device and the number of its sub-devices.
struct UmtsEntry {
    DeviceSectionEntry root;
    int subDevices = 0; // "UMTS<n>_SUBNUM" as _wtoi reads it; missing or negative: 0
};

class CDeviceSections {
public:
    // A missing file lists nothing. Raises CcExceptionMemory when allocation fails.
    explicit CDeviceSections(const wchar_t* textFilePath);

    // The values of "DeviceList" from key 0 up to the first missing or empty one.
    std::vector<std::wstring> ListedTypes();

    // The entries of a section from 0 up to the first whose class is missing or empty.
    std::vector<DeviceSectionEntry> Entries(const wchar_t* section);

    // The entries of "UMTS" from 0 up to the first whose root class is missing or empty.
    std::vector<UmtsEntry> UmtsEntries();

    // Sub-device `sub` of "UMTS" entry `entry`; its class is empty when it has none.
    DeviceSectionEntry UmtsSubDevice(int entry, int sub);

private:
    std::wstring Read(const wchar_t* format, int first, int second = 0);

    CTextMgr text_;
};
