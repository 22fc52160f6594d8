#include "devices/WlanDetection.h"

#include "devices/DeviceApi.h"

#include <ntddndis.h>
#include <strsafe.h>
#include <wlanapi.h>

#include <cwchar>

namespace {

constexpr DWORD kWlanServiceMajorVersion = 6;
constexpr wchar_t kHalfWidth1394[] = L"1394";
constexpr wchar_t kFullWidth1394[] = L"\xFF11\xFF13\xFF19\xFF14";
constexpr wchar_t kDevicePathPrefix[] = L"\\\\.\\";
constexpr wchar_t kDeviceTargetPrefix[] = L"\\Device\\";
constexpr DWORD kTargetChars = MAX_PATH;
constexpr DWORD kQueryOutputBytes = 4096;

DWORD MajorVersion()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    // Deprecated, and deliberately so: the method follows the version the program is shown.
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExW(&version))
        return 0;
    return version.dwMajorVersion;
}

// prefix and name in a buffer of kTargetChars; false when they do not fit.
bool Join(wchar_t (&out)[kTargetChars], const wchar_t* prefix, const wchar_t* name)
{
    return SUCCEEDED(StringCchCopyW(out, kTargetChars, prefix)) && SUCCEEDED(StringCchCatW(out, kTargetChars, name));
}

// The library's entry points, looked up by name.
template <typename Function>
Function* EntryPoint(IDeviceApi& api, HMODULE library, const char* name)
{
    // FARPROC to the published signature, through void (*)() as GetProcAddress results are.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(api.GetProcAddress(library, name)));
}

} // namespace

int IsWlanAdapter(const wchar_t* description, const wchar_t* serviceName, DWORD wlanClientVersion)
{
    if (!description || !serviceName)
        return 0;
    if (MajorVersion() >= kWlanServiceMajorVersion)
        return IsWlanByWlanApi(description, serviceName, wlanClientVersion);
    // A 1394 network adapter would answer the NDIS query like a WLAN adapter.
    if (wcsstr(description, kHalfWidth1394) || wcsstr(description, kFullWidth1394))
        return 0;
    return IsWlanByNdis(serviceName);
}

int IsWlanByWlanApi(const wchar_t* description, const wchar_t*, DWORD wlanClientVersion)
{
    if (!description)
        return 0;
    IDeviceApi& api = DeviceApi();
    DeviceLibrary library(api.LoadLibraryW(L"Wlanapi.dll"));
    if (!library)
        return 0;
    auto* openHandle = EntryPoint<decltype(WlanOpenHandle)>(api, library.Get(), "WlanOpenHandle");
    auto* enumInterfaces = EntryPoint<decltype(WlanEnumInterfaces)>(api, library.Get(), "WlanEnumInterfaces");
    auto* freeMemory = EntryPoint<decltype(WlanFreeMemory)>(api, library.Get(), "WlanFreeMemory");
    auto* closeHandle = EntryPoint<decltype(WlanCloseHandle)>(api, library.Get(), "WlanCloseHandle");
    if (!openHandle || !enumInterfaces || !freeMemory || !closeHandle)
        return 0;

    DWORD negotiatedVersion = 0;
    HANDLE client = nullptr;
    if (openHandle(wlanClientVersion, nullptr, &negotiatedVersion, &client) != ERROR_SUCCESS)
        return 0;
    int result = 0;
    WLAN_INTERFACE_INFO_LIST* list = nullptr;
    if (enumInterfaces(client, nullptr, &list) == ERROR_SUCCESS) {
        for (DWORD i = 0; i < list->dwNumberOfItems; ++i) {
            if (lstrcmpiW(list->InterfaceInfo[i].strInterfaceDescription, description) == 0) {
                result = 1;
                break;
            }
        }
        freeMemory(list);
    }
    closeHandle(client, nullptr);
    return result;
}

int IsWlanByNdis(const wchar_t* serviceName)
{
    if (!serviceName || !*serviceName)
        return 0;
    wchar_t target[kTargetChars];
    wchar_t path[kTargetChars];
    // A name too long for "\Device\<name>" or "\\.\<name>" would be cut into another device's name.
    if (!Join(target, kDeviceTargetPrefix, serviceName) || !Join(path, kDevicePathPrefix, serviceName))
        return 0;

    IDeviceApi& api = DeviceApi();
    wchar_t existing[kTargetChars];
    if (!api.QueryDosDeviceW(serviceName, existing, kTargetChars) && GetLastError() == ERROR_FILE_NOT_FOUND &&
        !api.DefineDosDeviceW(DDD_RAW_TARGET_PATH, serviceName, target))
        return 0;

    // Access 0: the device is only queried.
    DeviceFile adapter(api.CreateFileW(path, 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!adapter)
        return 0;
    ULONG oid = OID_802_11_SSID;
    BYTE answer[kQueryOutputBytes];
    DWORD returned = 0;
    // Whether an SSID is associated does not matter: an adapter that takes the query is WLAN.
    return api.DeviceIoControl(adapter.Get(), IOCTL_NDIS_QUERY_GLOBAL_STATS, &oid, sizeof(oid), answer,
                               sizeof(answer), &returned, nullptr);
}
