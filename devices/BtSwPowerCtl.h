#pragma once

#include "devices/DeviceApi.h"

#include <windows.h>

// The Bluetooth radio of the stack that installs the services "Kvrfusb" or
// "Kvrfbd": switched through the stack's control device, not the device
// installer. The radio counts as on while a GUID_BTSW_RADIO interface is present.
// Each operation opens the control device afresh and closes it before it returns.
class CBtSwPowerCtl {
public:
    CBtSwPowerCtl() = default;
    virtual ~CBtSwPowerCtl() = default;
    CBtSwPowerCtl(const CBtSwPowerCtl&) = delete;
    CBtSwPowerCtl& operator=(const CBtSwPowerCtl&) = delete;

    // 1 and the device path of the first present interface of the class, or 0.
    // maxChars must be above 10; a path that does not fit is not reported.
    static int FindInterfacePath(const GUID* interfaceGuid, wchar_t* pathOut, DWORD maxChars);

    // 1 when the control device is open, already or now.
    int Open();
    void Close();

    // DeviceIoControl on the control device; 0 while it is not open.
    BOOL IoControl(DWORD code, void* inBuffer, DWORD inLength, void* outBuffer, DWORD outLength,
                   DWORD* bytesReturned, OVERLAPPED* overlapped);

    // 1 when the control device opens, with *on 1 while the radio is on; else 0 and *on 0.
    int QueryRadio(int* on);

    // The result of the on or off code; 0 when the control device does not open.
    // PowerOff waits up to 100 x 100 ms for the radio to go before the post-off code.
    int PowerOn();
    int PowerOff();

private:
    DeviceFile device_;
};

// CBtSwPowerCtl::QueryRadio on a fresh object.
int GetBtPower(int* on);

// Switches the radio on or off unless it already is; 1 on success, 0 when the
// control device is missing or the switch code failed.
int SetBtPower(int turnOn);
