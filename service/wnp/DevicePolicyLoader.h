#pragma once

#include "service/wnp/RequestPolicy.h"

#include <string>

// Reads the devices that the system manages as installed now: the device
// sections and the "UMTS" section of every text file that "Language.ini" in
// the folder names, and the registered device list. Read again for every
// device request, since either may change while the service runs.
// The folder ends with a backslash.
void LoadDevicePolicy(const std::wstring& folder, CDevicePolicy& policy);
