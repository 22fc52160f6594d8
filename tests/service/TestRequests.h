#pragma once

// Requests as the tests build them, and the demo notebook's devices that they switch.

#include "service/ipc/TaloRequest.h"
#include "sim/SimNotebook.h"

#include <string>

// Zeroed, with the code and Result -1, as the client wrappers start them.
TALO_REQUEST NewRequest(DWORD code);
TALO_REQUEST RegistryRequest(DWORD code, const std::wstring& key, const std::wstring& value, DWORD number = 0,
                             const std::wstring& text = L"");
TALO_REQUEST DeviceRequest(DWORD code, const std::wstring& className, const std::wstring& prefix);
// Every byte patterned after the seed, so that a reply can only match its own request.
TALO_REQUEST PatternRequest(DWORD code, unsigned seed);

bool SameBytes(const TALO_REQUEST& a, const TALO_REQUEST& b);

template <size_t N>
void FillWithoutTerminator(wchar_t (&field)[N])
{
    for (wchar_t& c : field)
        c = L'x';
}

// First hardware IDs of the demo notebook's devices, and prefixes its text files name.
constexpr wchar_t kWlanAdapter[] = L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01";
constexpr wchar_t kEthernetAdapter[] = L"PCI\\VEN_10EC&DEV_8168&SUBSYS_21D217AA&REV_06";
constexpr wchar_t kModemRoot[] = L"USB\\VID_1E0E&PID_9001";
constexpr wchar_t kModemPort[] = L"USB\\VID_1E0E&PID_9001&MI_01";
constexpr wchar_t kCdrom[] = L"USBSTOR\\CdRomGeneric_DVD-RW_Drive_1.00";

// The simulated device whose first hardware ID begins with the prefix.
SimDevice SimulatedDevice(const std::wstring& prefix);
