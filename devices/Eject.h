#pragma once

// Result codes of EjectCdromDevice.
constexpr int EJECT_DONE = 0;      // the configuration manager accepted the eject or removal
constexpr int EJECT_REFUSED = 2;   // a suitable device was found but the request was refused
constexpr int EJECT_NOT_FOUND = 3; // no suitable CD-ROM device

// Ejects the first removable CD-ROM drive on "IDE", or else removes the first one on
// "USBSTOR". Only the first suitable device is acted on, whatever the outcome.
int EjectCdromDevice();
