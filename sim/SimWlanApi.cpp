// The simulated WLAN library: "Wlanapi.dll" loads while the notebook has it, and
// its four entry points answer from the notebook's WLAN service.
#include "sim/SimWlanApi.h"

#include "sim/SimDeviceApi.h"

#include <wlanapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <type_traits>
#include <vector>

namespace {

constexpr wchar_t kLibraryName[] = L"Wlanapi.dll";

// What the library handed out: client handles and interface lists.
struct Outstanding {
    std::mutex mutex;
    std::vector<void*> clients;
    std::vector<void*> memory;
};

Outstanding& Handed()
{
    static Outstanding outstanding;
    return outstanding;
}

// Its address is the simulated library's module handle.
char g_module;

HMODULE Module()
{
    return reinterpret_cast<HMODULE>(&g_module);
}

bool Take(std::vector<void*>& from, void* item)
{
    const auto found = std::find(from.begin(), from.end(), item);
    if (found == from.end())
        return false;
    from.erase(found);
    return true;
}

bool IsClient(HANDLE client)
{
    Outstanding& handed = Handed();
    std::lock_guard<std::mutex> lock(handed.mutex);
    return std::find(handed.clients.begin(), handed.clients.end(), client) != handed.clients.end();
}

DWORD WINAPI SimWlanOpenHandle(DWORD clientVersion, PVOID reserved, PDWORD negotiatedVersion, PHANDLE client)
{
    if (reserved || !negotiatedVersion || !client)
        return ERROR_INVALID_PARAMETER;
    if (clientVersion != 1 && clientVersion != 2)
        return ERROR_NOT_SUPPORTED;
    CSimNotebook notebook;
    if (!notebook.WlanService().running)
        return ERROR_SERVICE_NOT_ACTIVE;
    notebook.RecordWlanClientVersion(clientVersion);
    void* handle = new DWORD(clientVersion);
    Outstanding& handed = Handed();
    std::lock_guard<std::mutex> lock(handed.mutex);
    handed.clients.push_back(handle);
    *negotiatedVersion = clientVersion;
    *client = handle;
    return ERROR_SUCCESS;
}

DWORD WINAPI SimWlanEnumInterfaces(HANDLE client, PVOID reserved, PWLAN_INTERFACE_INFO_LIST* interfaceList)
{
    if (reserved || !interfaceList)
        return ERROR_INVALID_PARAMETER;
    if (!IsClient(client))
        return ERROR_INVALID_HANDLE;
    CSimNotebook notebook;
    if (!notebook.WlanService().running)
        return ERROR_SERVICE_NOT_ACTIVE;
    const std::vector<std::wstring> listed = notebook.ListedWlanInterfaces();
    const size_t bytes = offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) + listed.size() * sizeof(WLAN_INTERFACE_INFO);
    auto* list = static_cast<PWLAN_INTERFACE_INFO_LIST>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (!list)
        return ERROR_NOT_ENOUGH_MEMORY;
    list->dwNumberOfItems = static_cast<DWORD>(listed.size());
    for (size_t i = 0; i < listed.size(); ++i) {
        WLAN_INTERFACE_INFO& info = list->InterfaceInfo[i];
        info.InterfaceGuid = {0x5A1E0000 + static_cast<unsigned long>(i), 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0}};
        lstrcpynW(info.strInterfaceDescription, listed[i].c_str(), ARRAYSIZE(info.strInterfaceDescription));
        info.isState = wlan_interface_state_disconnected;
    }
    Outstanding& handed = Handed();
    std::lock_guard<std::mutex> lock(handed.mutex);
    handed.memory.push_back(list);
    *interfaceList = list;
    return ERROR_SUCCESS;
}

VOID WINAPI SimWlanFreeMemory(PVOID memory)
{
    Outstanding& handed = Handed();
    std::lock_guard<std::mutex> lock(handed.mutex);
    if (Take(handed.memory, memory))
        HeapFree(GetProcessHeap(), 0, memory);
}

DWORD WINAPI SimWlanCloseHandle(HANDLE client, PVOID reserved)
{
    if (reserved)
        return ERROR_INVALID_PARAMETER;
    Outstanding& handed = Handed();
    std::lock_guard<std::mutex> lock(handed.mutex);
    if (!Take(handed.clients, client))
        return ERROR_INVALID_HANDLE;
    delete static_cast<DWORD*>(client);
    return ERROR_SUCCESS;
}

// Callers cast the entry points to the published signatures.
static_assert(std::is_same<decltype(&SimWlanOpenHandle), decltype(&WlanOpenHandle)>::value, "WlanOpenHandle");
static_assert(std::is_same<decltype(&SimWlanEnumInterfaces), decltype(&WlanEnumInterfaces)>::value,
              "WlanEnumInterfaces");
static_assert(std::is_same<decltype(&SimWlanFreeMemory), decltype(&WlanFreeMemory)>::value, "WlanFreeMemory");
static_assert(std::is_same<decltype(&SimWlanCloseHandle), decltype(&WlanCloseHandle)>::value, "WlanCloseHandle");

} // namespace

size_t SimWlanOpenObjects()
{
    Outstanding& handed = Handed();
    std::lock_guard<std::mutex> lock(handed.mutex);
    return handed.clients.size() + handed.memory.size();
}

HMODULE CSimDeviceApi::LoadLibraryW(PCWSTR fileName)
{
    if (fileName && lstrcmpiW(fileName, kLibraryName) == 0 && CSimNotebook().WlanService().libraryPresent)
        return Module();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC CSimDeviceApi::GetProcAddress(HMODULE module, PCSTR procName)
{
    if (module != Module()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    struct EntryPoint {
        const char* name;
        FARPROC address;
    };
    // Through void (*)(), the type for "any function", as GetProcAddress results are.
    using AnyFunction = void (*)();
    static const EntryPoint kEntryPoints[] = {
        {"WlanOpenHandle", reinterpret_cast<FARPROC>(reinterpret_cast<AnyFunction>(&SimWlanOpenHandle))},
        {"WlanEnumInterfaces", reinterpret_cast<FARPROC>(reinterpret_cast<AnyFunction>(&SimWlanEnumInterfaces))},
        {"WlanFreeMemory", reinterpret_cast<FARPROC>(reinterpret_cast<AnyFunction>(&SimWlanFreeMemory))},
        {"WlanCloseHandle", reinterpret_cast<FARPROC>(reinterpret_cast<AnyFunction>(&SimWlanCloseHandle))},
    };
    if (!IS_INTRESOURCE(procName)) {
        for (const EntryPoint& entry : kEntryPoints) {
            if (std::strcmp(entry.name, procName) == 0)
                return entry.address;
        }
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL CSimDeviceApi::FreeLibrary(HMODULE module)
{
    if (module == Module())
        return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}
