#pragma once

#include <windows.h>

// Decides whether a network card, given by the "Description" and "ServiceName" of
// its "NetworkCards" entry, is a WLAN adapter. From major version 6 the WLAN
// service is asked; before that 1394 adapters are refused by name and the rest
// are asked for the 802.11 SSID through their NDIS device.

// The WLAN client version each program asks WlanOpenHandle for.
constexpr DWORD kSettingsWlanClientVersion = 1;
constexpr DWORD kLauncherWlanClientVersion = 2;

// 1 for a WLAN adapter, 0 otherwise; the method follows what GetVersionExW reports.
int IsWlanAdapter(const wchar_t* description, const wchar_t* serviceName, DWORD wlanClientVersion);

// 1 when the WLAN service lists an interface with this description (any letter case).
// serviceName is not used.
int IsWlanByWlanApi(const wchar_t* description, const wchar_t* serviceName, DWORD wlanClientVersion);

// Non-zero when the adapter's NDIS device answers the 802.11 SSID query; 0 when it
// refuses or cannot be reached. Defines the DOS device name "\Device\<serviceName>"
// when it is missing, and leaves it defined.
int IsWlanByNdis(const wchar_t* serviceName);
