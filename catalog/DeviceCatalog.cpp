#include "catalog/DeviceCatalog.h"

#include "devices/DeviceControl.h"
#include "devices/DeviceSnapshot.h"
#include "devices/WlanDetection.h"
#include "foundation/CLocalPath.h"
#include "foundation/CcString.h"
#include "foundation/Names.h"

#include <utility>

namespace {

// The state of the devices of a class with a hardware-ID prefix, and the name of the last one.
int QueryState(CDeviceSnapshot& devices, const DeviceSectionEntry& entry, wchar_t (&name)[kDevicePropertyChars])
{
    name[0] = L'\0';
    int state = DEVSTAT_NONE;
    QueryByHwId(devices, &state, entry.className.c_str(), entry.hwId.c_str(), name, kDevicePropertyChars);
    return state;
}

// The display name when the entry has one, else the name the device reports.
const wchar_t* ShownName(const DeviceSectionEntry& entry, const wchar_t* reported)
{
    return entry.displayName.empty() ? reported : entry.displayName.c_str();
}

// The text file of the system's language beside the program, or empty when there is none.
CcString LanguageTextFile()
{
    wchar_t path[CLocalPath::kPathChars] = L"";
    CLocalPath::FindLanguageFile(path, kTextFile);
    return path;
}

} // namespace

CatalogOptions LauncherCatalogOptions()
{
    CatalogOptions options;
    options.wlanClientVersion = kLauncherWlanClientVersion;
    return options;
}

CDeviceCatalog::CDeviceCatalog(const CatalogOptions& options) : CDeviceCatalog(options, LanguageTextFile())
{
}

CDeviceCatalog::CDeviceCatalog(const CatalogOptions& options, const wchar_t* textFilePath)
    : options_(options), sections_(textFilePath)
{
    BuildCatalog();
}

CDeviceCatalog::CDeviceCatalog(const CatalogOptions& options, Unbuilt)
    : options_(options), sections_(LanguageTextFile())
{
}

CDeviceCatalog::~CDeviceCatalog() = default;

int CDeviceCatalog::BuildCatalog()
{
    // One walk of each setup class answers every entry's question; kept for IsInState.
    lastBuild_ = std::make_unique<CDeviceSnapshot>();
    CDeviceSnapshot& devices = *lastBuild_;
    RemoveAll();
    for (const std::wstring& listed : ListedTypes()) {
        if (!FitsSectionValue(listed))
            break;
        AddListedType(devices, listed.c_str());
    }
    return GetSize();
}

std::vector<std::wstring> CDeviceCatalog::ListedTypes()
{
    return sections_.ListedTypes();
}

void CDeviceCatalog::AddListedType(CDeviceSnapshot& devices, const wchar_t* type)
{
    if (lstrcmpiW(type, kDeviceListUmts) == 0) {
        AddUmtsDevice(devices);
    } else if (lstrcmpiW(type, kDeviceListWlan) == 0) {
        AddRegisteredDevices(devices);
        AddNetworkCards(devices);
    } else if (options_.bluetooth && lstrcmpiW(type, kDeviceListBluetooth) == 0 &&
               options_.bluetooth->IsStackInstalled()) {
        AddBluetoothRadio();
    } else {
        AddSectionDevices(devices, type);
    }
}

void CDeviceCatalog::AddSectionDevices(CDeviceSnapshot& devices, const wchar_t* sectionName)
{
    // A longer name would be cut into the name of another section.
    if (!FitsSectionValue(sectionName))
        return;
    for (const DeviceSectionEntry& entry : sections_.Entries(sectionName)) {
        if (!FitsSectionValue(entry.className) || !FitsSectionValue(entry.hwId) ||
            !FitsSectionValue(entry.displayName))
            return;
        if (!entry.hwId.empty()) {
            wchar_t name[kDevicePropertyChars];
            const int state = QueryState(devices, entry, name);
            if (IsDefiniteState(state))
                Append(ShownName(entry, name), entry.className.c_str(), entry.hwId.c_str(),
                       state == DEVSTAT_ENABLED ? 1 : 0);
        } else {
            // The whole class: listed unless none of its devices has a readable state.
            int state = DEVSTAT_NONE;
            QueryByClass(devices, entry.className.c_str(), &state);
            if (state != DEVSTAT_NONE)
                Append(entry.displayName.c_str(), entry.className.c_str(), L"", state == DEVSTAT_DISABLED ? 0 : 1);
        }
    }
}

void CDeviceCatalog::AddUmtsDevice(CDeviceSnapshot& devices)
{
    UmtsEntry entry;
    if (!FindPresentUmtsEntry(devices, entry) || !FitsSectionValue(entry.root.displayName))
        return;
    wchar_t name[kDevicePropertyChars];
    const int state = QueryState(devices, entry.root, name);
    if (IsDefiniteState(state))
        Append(ShownName(entry.root, name), kUmtsClassMarker, entry.root.hwId.c_str(),
               state == DEVSTAT_ENABLED ? 1 : 0);
}

bool CDeviceCatalog::FindPresentUmtsEntry(UmtsEntry& entry)
{
    CDeviceSnapshot devices;
    return FindPresentUmtsEntry(devices, entry);
}

// An entry whose class or hardware ID does not fit ends the search.
bool CDeviceCatalog::FindPresentUmtsEntry(CDeviceSnapshot& devices, UmtsEntry& entry)
{
    for (UmtsEntry& candidate : sections_.UmtsEntries()) {
        if (!FitsSectionValue(candidate.root.className) || !FitsSectionValue(candidate.root.hwId))
            return false;
        wchar_t name[kDevicePropertyChars];
        if (IsDefiniteState(QueryState(devices, candidate.root, name))) {
            entry = std::move(candidate);
            return true;
        }
    }
    return false;
}

void CDeviceCatalog::AddBluetoothRadio()
{
    bool on = false;
    if (options_.bluetooth->ReadPower(on))
        Append(kBluetoothRadioName, kBluetoothClassMarker, kBluetoothClassMarker, on ? 1 : 0);
}

void CDeviceCatalog::Append(const wchar_t* deviceName, const wchar_t* className, const wchar_t* hwId, int setting)
{
    TALO_DEVICEINFO record;
    record.DeviceName = deviceName;
    record.Class = className;
    record.HwId = hwId;
    record.Setting = setting;
    SetAtGrow(GetSize(), record);
}

bool CDeviceCatalog::IsInState(const TALO_DEVICEINFO& device)
{
    if (!lastBuild_)
        return false;
    const bool on = device.Setting == 1;
    if (lstrcmpiW(device.Class, kBluetoothClassMarker) == 0) {
        for (int i = 0; i < GetSize(); ++i) {
            if (lstrcmpiW((*this)[i].Class, kBluetoothClassMarker) == 0)
                return ((*this)[i].Setting == 1) == on;
        }
        return false;
    }
    if (lstrcmpiW(device.Class, kUmtsClassMarker) != 0)
        return AreInState(*lastBuild_, device.Class, device.HwId, on);
    // The modem's switch takes the first present entry, whatever the preset's record names.
    UmtsEntry entry;
    if (!FindPresentUmtsEntry(*lastBuild_, entry))
        return false;
    for (int sub = -1; sub < entry.subDevices; ++sub) {
        const DeviceSectionEntry& part = sub < 0 ? entry.root : sections_.UmtsSubDevice(entry.root.index, sub);
        if (part.className.empty() || !FitsSectionValue(part.className) || !FitsSectionValue(part.hwId) ||
            !AreInState(*lastBuild_, part.className.c_str(), part.hwId.c_str(), on))
            return false;
    }
    return true;
}
