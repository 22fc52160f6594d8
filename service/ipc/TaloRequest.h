#pragma once

#include <windows.h>

#include <cstddef>
#include <cwchar>

// The request block shared by the user programs and the switching service:
// 1160 bytes in the named mapping, little-endian, strings UTF-16 and
// terminated inside their field. Clients zero the whole block before filling it.

enum TaloRequestCode : DWORD {
    REQ_SET_DWORD = 1,      // write a REG_DWORD under HKEY_LOCAL_MACHINE
    REQ_SET_STRING = 2,     // write a REG_SZ under HKEY_LOCAL_MACHINE
    REQ_ENABLE_DEVICE = 3,  // enable the devices of a class and hardware-ID prefix
    REQ_DISABLE_DEVICE = 4, // disable them
    REQ_EJECT_MEDIA = 5,    // eject the first removable CD-ROM medium
};

constexpr size_t kRequestKeyPathChars = 256;   // 255 characters and the terminator
constexpr size_t kRequestValueNameChars = 64;
constexpr size_t kRequestTextChars = 256;
constexpr size_t kRequestClassNameChars = 128;
constexpr size_t kRequestHwIdPrefixChars = 448;

struct TALO_REGISTRY_REQUEST {
    wchar_t KeyPath[kRequestKeyPathChars];
    wchar_t ValueName[kRequestValueNameChars];
    union {
        DWORD Number;                     // REQ_SET_DWORD
        wchar_t Text[kRequestTextChars];  // REQ_SET_STRING
    } Data;
};

struct TALO_DEVICE_REQUEST {
    wchar_t ClassName[kRequestClassNameChars];
    wchar_t HwIdPrefix[kRequestHwIdPrefixChars]; // empty: every device of the class
};

struct TALO_REQUEST {
    DWORD Code;
    union {
        TALO_REGISTRY_REQUEST Registry;
        TALO_DEVICE_REQUEST Device;
    } Body;
    LONG Result; // 0 success, 1 device operation failed, -1 not answered; devices also 2
};

// The Result of a device request. 2 is a success whose change takes effect only
// after a restart; callers that test for 0 alone still see every failure as one.
constexpr LONG kDeviceResultSwitched = 0;
constexpr LONG kDeviceResultFailed = 1;
constexpr LONG kDeviceResultRestart = 2;

constexpr DWORD kRequestBlockSize = 1160;

// The layout holds where wchar_t is a UTF-16 unit, as on Windows. A host build
// of the request checks (the fuzzer) has wider units and translates the block.
#if WCHAR_MAX == 0xFFFF
static_assert(sizeof(wchar_t) == 2, "the block holds UTF-16 text");
static_assert(sizeof(TALO_REQUEST) == kRequestBlockSize, "the block is 1160 bytes");
static_assert(offsetof(TALO_REQUEST, Code) == 0, "Code at 0");
static_assert(offsetof(TALO_REQUEST, Body) + offsetof(TALO_REGISTRY_REQUEST, KeyPath) == 4, "key path at 4");
static_assert(offsetof(TALO_REQUEST, Body) + offsetof(TALO_REGISTRY_REQUEST, ValueName) == 516, "value name at 516");
static_assert(offsetof(TALO_REQUEST, Body) + offsetof(TALO_REGISTRY_REQUEST, Data) == 644, "number and text at 644");
static_assert(offsetof(TALO_REQUEST, Body) + offsetof(TALO_DEVICE_REQUEST, ClassName) == 4, "class name at 4");
static_assert(offsetof(TALO_REQUEST, Body) + offsetof(TALO_DEVICE_REQUEST, HwIdPrefix) == 260, "prefix at 260");
static_assert(offsetof(TALO_REQUEST, Result) == 1156, "Result at 1156");
#endif
