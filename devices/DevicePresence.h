#pragma once

#include <string>
#include <vector>

// Which devices are present, over every setup class: what marks a dock for the
// launcher's rules, and the devices a person picks that mark from.

struct PresentDevice {
    std::wstring name; // the friendly name, else the description
    std::wstring hwId; // the first entry of its hardware-ID list
};

// Every present device with a hardware ID, in the order the device installer lists them.
std::vector<PresentDevice> ListPresentDevices();

// True when a present device has a hardware-ID entry that begins with the prefix (any letter case).
bool IsDevicePresent(const wchar_t* hwIdPrefix);
