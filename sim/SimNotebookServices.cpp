// The simulated notebook beyond its device nodes: the Bluetooth control device,
// the WLAN service, the NDIS adapters, DOS device names and real registry keys.
#include "sim/SimNotebook.h"

#include "sim/SimLayout.h"
#include "sim/SimRegistry.h"

#include "foundation/Names.h"

#include <algorithm>
#include <cwchar>

using namespace simlayout;

int CSimNotebook::SetBluetoothSwitch(DWORD delayMs, bool refuses)
{
    RegKey key = CreateSub(kBluetooth);
    return key && simreg::WriteDword(key.Get(), kSwitchDelayMs, delayMs) &&
                   simreg::WriteDword(key.Get(), kRefusesSwitch, refuses)
               ? 1
               : 0;
}

DWORD CSimNotebook::BluetoothSwitchDelay() const
{
    RegKey key = OpenSub(kBluetooth);
    return key ? simreg::ReadDword(key.Get(), kSwitchDelayMs) : 0;
}

bool CSimNotebook::BluetoothRefusesSwitch() const
{
    RegKey key = OpenSub(kBluetooth);
    return key && simreg::ReadDword(key.Get(), kRefusesSwitch) != 0;
}

int CSimNotebook::RecordBluetoothCode(DWORD code)
{
    RegKey key = CreateSub(kBluetooth);
    if (!key)
        return 0;
    std::vector<std::wstring> codes = simreg::ReadMultiString(key.Get(), kCodes);
    wchar_t text[16];
    swprintf(text, ARRAYSIZE(text), L"%08lX", static_cast<unsigned long>(code));
    codes.push_back(text);
    return simreg::WriteMultiString(key.Get(), kCodes, codes) ? 1 : 0;
}

std::vector<DWORD> CSimNotebook::BluetoothCodes() const
{
    std::vector<DWORD> codes;
    RegKey key = OpenSub(kBluetooth);
    if (key) {
        for (const std::wstring& text : simreg::ReadMultiString(key.Get(), kCodes))
            codes.push_back(wcstoul(text.c_str(), nullptr, 16));
    }
    return codes;
}

int CSimNotebook::SetCablePlugged(bool plugged)
{
    return root_ && simreg::WriteDword(root_.Get(), kCablePlugged, plugged) ? 1 : 0;
}

bool CSimNotebook::CablePlugged() const
{
    return root_ && simreg::ReadDword(root_.Get(), kCablePlugged) != 0;
}

int CSimNotebook::SetOnBattery(bool onBattery)
{
    return root_ && simreg::WriteDword(root_.Get(), kOnBattery, onBattery) ? 1 : 0;
}

bool CSimNotebook::OnBattery() const
{
    return root_ && simreg::ReadDword(root_.Get(), kOnBattery) != 0;
}

int CSimNotebook::SetWlanService(const SimWlanService& service)
{
    RegKey key = CreateSub(kWlan);
    return key && simreg::WriteDword(key.Get(), kLibraryPresent, service.libraryPresent) &&
                   simreg::WriteDword(key.Get(), kRunning, service.running)
               ? 1
               : 0;
}

SimWlanService CSimNotebook::WlanService() const
{
    SimWlanService service;
    RegKey key = OpenSub(kWlan);
    service.libraryPresent = key && simreg::ReadDword(key.Get(), kLibraryPresent) != 0;
    service.running = key && simreg::ReadDword(key.Get(), kRunning) != 0;
    return service;
}

int CSimNotebook::AddWlanInterface(const SimWlanInterface& wlanInterface)
{
    const DWORD number = NextNumber(kWlanInterfaces);
    wchar_t name[16];
    swprintf(name, ARRAYSIZE(name), L"%04lu", static_cast<unsigned long>(number));
    RegKey key = number ? CreateSub(std::wstring(kWlanInterfaces) + L"\\" + name) : RegKey();
    return key && simreg::WriteString(key.Get(), kDescription, wlanInterface.description) &&
                   simreg::WriteDword(key.Get(), kDevice, wlanInterface.device)
               ? 1
               : 0;
}

std::vector<SimWlanInterface> CSimNotebook::WlanInterfaces() const
{
    std::vector<SimWlanInterface> interfaces;
    RegKey collection = OpenSub(kWlanInterfaces);
    if (!collection)
        return interfaces;
    std::vector<std::wstring> names = simreg::SubKeys(collection.Get());
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return wcstoul(a.c_str(), nullptr, 10) < wcstoul(b.c_str(), nullptr, 10);
    });
    for (const std::wstring& name : names) {
        RegKey key = simreg::Open(collection.Get(), name);
        if (!key)
            continue;
        SimWlanInterface entry;
        entry.description = simreg::ReadString(key.Get(), kDescription);
        entry.device = simreg::ReadDword(key.Get(), kDevice);
        interfaces.push_back(std::move(entry));
    }
    return interfaces;
}

std::vector<std::wstring> CSimNotebook::ListedWlanInterfaces() const
{
    std::vector<std::wstring> listed;
    if (!WlanService().running)
        return listed;
    for (const SimWlanInterface& entry : WlanInterfaces()) {
        if (entry.device == 0 || IsDeviceWorking(entry.device))
            listed.push_back(entry.description);
    }
    return listed;
}

int CSimNotebook::RecordWlanClientVersion(DWORD version)
{
    RegKey key = CreateSub(kWlan);
    return key && simreg::WriteDword(key.Get(), kLastClientVersion, version) ? 1 : 0;
}

DWORD CSimNotebook::LastWlanClientVersion() const
{
    RegKey key = OpenSub(kWlan);
    return key ? simreg::ReadDword(key.Get(), kLastClientVersion) : 0;
}

int CSimNotebook::AddNdisAdapter(const SimNdisAdapter& adapter)
{
    if (adapter.serviceName.empty() || adapter.serviceName.find(L'\\') != std::wstring::npos)
        return 0;
    RegKey key = CreateSub(std::wstring(kNdis) + L"\\" + adapter.serviceName);
    return key && simreg::WriteDword(key.Get(), kAnswers, adapter.answers) &&
                   simreg::WriteDword(key.Get(), kDevice, adapter.device)
               ? 1
               : 0;
}

std::vector<SimNdisAdapter> CSimNotebook::NdisAdapters() const
{
    std::vector<SimNdisAdapter> adapters;
    RegKey collection = OpenSub(kNdis);
    if (!collection)
        return adapters;
    for (const std::wstring& name : simreg::SubKeys(collection.Get())) {
        SimNdisAdapter adapter;
        if (FindNdisAdapter(name, adapter))
            adapters.push_back(std::move(adapter));
    }
    return adapters;
}

bool CSimNotebook::FindNdisAdapter(const std::wstring& serviceName, SimNdisAdapter& adapter) const
{
    if (serviceName.empty() || serviceName.find(L'\\') != std::wstring::npos)
        return false;
    RegKey key = OpenSub(std::wstring(kNdis) + L"\\" + serviceName);
    if (!key)
        return false;
    adapter.serviceName = serviceName;
    adapter.answers = simreg::ReadDword(key.Get(), kAnswers) != 0;
    adapter.device = simreg::ReadDword(key.Get(), kDevice);
    return true;
}

bool CSimNotebook::QueryDosDevice(const std::wstring& name, std::wstring& target) const
{
    RegKey key = OpenSub(kDosDevices);
    if (!key || !simreg::HasValue(key.Get(), name.c_str()))
        return false;
    target = simreg::ReadString(key.Get(), name.c_str());
    return true;
}

int CSimNotebook::DefineDosDevice(const std::wstring& name, const std::wstring& target)
{
    RegKey key = CreateSub(kDosDevices);
    return key && simreg::WriteString(key.Get(), name.c_str(), target) ? 1 : 0;
}

int CSimNotebook::RemoveDosDevice(const std::wstring& name)
{
    RegKey key = OpenSub(kDosDevices, KEY_WRITE);
    return key && simreg::DeleteValue(key.Get(), name.c_str()) ? 1 : 0;
}

void CSimNotebook::RememberCreatedKey(const std::wstring& path)
{
    // The outermost key that did not exist yet is what Clear removes.
    for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
        const std::wstring prefix = path.substr(0, end);
        if (!simreg::Exists(HKEY_LOCAL_MACHINE, prefix)) {
            std::vector<std::wstring> owned = simreg::ReadMultiString(root_.Get(), kOwnedKeys);
            owned.push_back(prefix);
            simreg::WriteMultiString(root_.Get(), kOwnedKeys, owned);
            return;
        }
        if (end == std::wstring::npos)
            return;
    }
}

int CSimNotebook::AddRealKey(const std::wstring& path)
{
    if (!root_ || path.empty())
        return 0;
    RememberCreatedKey(path);
    if (simreg::Create(HKEY_LOCAL_MACHINE, path))
        return 1;
    // Wine rebuilds some system keys at every start, the network cards among them, and keeps
    // them volatile: a key below one lives as long as the wineserver.
    return GetLastError() == ERROR_CHILD_MUST_BE_VOLATILE &&
                   simreg::Create(HKEY_LOCAL_MACHINE, path, REG_OPTION_VOLATILE)
               ? 1
               : 0;
}

int CSimNotebook::AddNetworkCard(const std::wstring& cardKey, const std::wstring& description,
                                 const std::wstring& serviceName)
{
    const std::wstring path = std::wstring(kNetworkCardsKey) + L"\\" + cardKey;
    // The list of cards belongs to the system; only the card is the machine's.
    const bool listExists =
        simreg::Exists(HKEY_LOCAL_MACHINE, kNetworkCardsKey) || simreg::Create(HKEY_LOCAL_MACHINE, kNetworkCardsKey);
    if (cardKey.empty() || !listExists || !AddRealKey(path))
        return 0;
    RegKey key = simreg::Open(HKEY_LOCAL_MACHINE, path, KEY_WRITE);
    return key && simreg::WriteString(key.Get(), kNetworkCardDescriptionValue, description) &&
                   simreg::WriteString(key.Get(), kNetworkCardServiceNameValue, serviceName)
               ? 1
               : 0;
}
