#pragma once

#include "service/wnp/RequestPolicy.h"

#include <string>
#include <vector>

// The text file of every language folder that "Language.ini" in the folder
// names, whether it exists or not. The folder ends with a backslash.
std::vector<std::wstring> InstalledTextFiles(const std::wstring& folder);

// Adds the devices that the text files name: their device sections and their
// "UMTS" sections. A missing file names none.
void LoadNamedDevices(const std::vector<std::wstring>& textFiles, CDevicePolicy& policy);

// Adds the hardware IDs of the device list's records below "DeviceNum" as
// registered, up to the first incomplete record and at most kMostDeviceRecords. Any user can write a record: whether one is the whole first
// hardware ID of an installed network adapter is checked when a request names it.
void LoadRegisteredDevices(CDevicePolicy& policy);
