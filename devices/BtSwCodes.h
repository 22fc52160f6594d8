#pragma once

#include <windows.h>

// The Bluetooth stack's control interface: the device interface classes of its
// control device and of its radio, and the control codes the control device takes
// (device type 0x9C40, FILE_ANY_ACCESS, never with an input or output buffer).

// The stack's control device, opened to send the control codes.
constexpr GUID GUID_BTSW_CONTROL = {0x2F5831D5, 0x96CA, 0x461F, {0x80, 0x12, 0x41, 0x32, 0xF5, 0x6F, 0xEB, 0xA3}};
// Present while the radio is on.
constexpr GUID GUID_BTSW_RADIO = {0x90B11C7A, 0xF14E, 0x4093, {0x91, 0x63, 0xC5, 0xBC, 0x79, 0xC5, 0xD6, 0xB9}};

constexpr DWORD IOCTL_BTSW_ON = 0x9C402034;       // function 0x80D, METHOD_BUFFERED
constexpr DWORD IOCTL_BTSW_OFF = 0x9C402038;      // function 0x80E, METHOD_BUFFERED
constexpr DWORD IOCTL_BTSW_PRE_ON = 0x9C40203E;   // function 0x80F, METHOD_OUT_DIRECT
constexpr DWORD IOCTL_BTSW_POST_OFF = 0x9C402042; // function 0x810, METHOD_OUT_DIRECT
