#include "catalog/DeviceCatalog.h"

#include "catalog/CatalogText.h"
#include "catalog/IndexedName.h"
#include "devices/DeviceControl.h"
#include "devices/DeviceQueryScope.h"
#include "foundation/CLocalPath.h"
#include "foundation/CcException.h"
#include "foundation/Names.h"

#if defined(AIRVANE_SETTINGS_CATALOG)
#include "devices/BtStackPresence.h"
#endif

#include <new>

namespace {

constexpr int kTextValueChars = 512;

// One generic entry of a device section, or the root device of a UMTS entry.
struct DeviceEntry {
    TextField className;
    TextField hwId;
    TextField displayName;
};

// Entry n of the current section; false when its class is empty or a value does not fit.
bool ReadSectionEntry(CTextMgr& text, int n, DeviceEntry& entry)
{
    return ReadTextField(text, IndexedName(kEntryClassKeyFormat, n), entry.className) &&
           entry.className[0] != L'\0' && ReadTextField(text, IndexedName(kEntryHwIdKeyFormat, n), entry.hwId) &&
           ReadTextField(text, IndexedName(kEntryDisplayNameKeyFormat, n), entry.displayName);
}

// Class and hardware ID of the root device of UMTS entry n; false as for ReadSectionEntry.
bool ReadUmtsRoot(CTextMgr& text, int n, DeviceEntry& entry)
{
    return ReadTextField(text, IndexedName(kUmtsRootClassKeyFormat, n), entry.className) &&
           entry.className[0] != L'\0' && ReadTextField(text, IndexedName(kUmtsRootHwIdKeyFormat, n), entry.hwId);
}

// The state of the devices of a class with a hardware-ID prefix, and the name of the last one.
int QueryByHwId(const wchar_t* className, const wchar_t* hwId, wchar_t (&name)[kDevicePropertyChars])
{
    name[0] = L'\0';
    int state = DEVSTAT_NONE;
    DeviceCtlByHwId(0, &state, className, hwId, nullptr, name, kDevicePropertyChars);
    return state;
}

// The text file of the system's language beside the program, or empty when there is none.
CcString LanguageTextFile()
{
    wchar_t path[CLocalPath::kPathChars] = L"";
    CLocalPath::FindLanguageFile(path, kTextFile);
    return path;
}

} // namespace

CDeviceCatalog::CDeviceCatalog() : CDeviceCatalog(LanguageTextFile())
{
}

CDeviceCatalog::CDeviceCatalog(const wchar_t* textFilePath)
{
    text_.reset(CheckAllocation(new (std::nothrow) CTextMgr(textFilePath, kDeviceListSection, kTextValueChars)));
    BuildCatalog();
}

CDeviceCatalog::~CDeviceCatalog() = default;

int CDeviceCatalog::BuildCatalog()
{
    // One walk of each setup class answers every entry's question.
    DeviceQueryScope scope;
    RemoveAll();
    for (int k = 0;; ++k) {
        text_->SetSection(kDeviceListSection);
        TextField value;
        if (!ReadTextField(*text_, IndexedName(L"%d", k), value) || value[0] == L'\0')
            break;
        if (lstrcmpiW(value, kDeviceListUmts) == 0) {
            AddUmtsDevice();
        } else if (lstrcmpiW(value, kDeviceListWlan) == 0) {
            AddRegisteredDevices();
            AddNetworkCards();
#if defined(AIRVANE_SETTINGS_CATALOG)
        } else if (lstrcmpiW(value, kDeviceListBluetooth) == 0 && (IsKvrfusbPresent() || IsKvrfbdPresent())) {
            AddBluetoothRadio();
#endif
        } else {
            AddSectionDevices(value);
        }
    }
    return GetSize();
}

void CDeviceCatalog::AddSectionDevices(const wchar_t* sectionName)
{
    // A longer name would be cut into the name of another section.
    if (!FitsTextField(sectionName))
        return;
    DeviceQueryScope scope;
    text_->SetSection(sectionName);
    DeviceEntry entry;
    for (int n = 0; ReadSectionEntry(*text_, n, entry); ++n) {
        if (entry.hwId[0] != L'\0') {
            wchar_t name[kDevicePropertyChars];
            const int state = QueryByHwId(entry.className, entry.hwId, name);
            if (IsDefiniteState(state))
                Append(entry.displayName[0] != L'\0' ? entry.displayName : name, entry.className, entry.hwId,
                       state == DEVSTAT_ENABLED ? 1 : 0);
        } else {
            // The whole class: listed unless none of its devices has a readable state.
            int state = DEVSTAT_NONE;
            DeviceCtlByClass(entry.className, 0, &state, nullptr);
            if (state != DEVSTAT_NONE)
                Append(entry.displayName, entry.className, L"", state == DEVSTAT_DISABLED ? 0 : 1);
        }
    }
}

void CDeviceCatalog::AddUmtsDevice()
{
    DeviceQueryScope scope;
    int n = 0;
    if (!FindPresentUmtsEntry(&n))
        return;
    text_->SetSection(kUmtsSection);
    DeviceEntry root;
    if (!ReadUmtsRoot(*text_, n, root) ||
        !ReadTextField(*text_, IndexedName(kUmtsRootDisplayNameKeyFormat, n), root.displayName))
        return;
    wchar_t name[kDevicePropertyChars];
    const int state = QueryByHwId(root.className, root.hwId, name);
    if (IsDefiniteState(state))
        Append(root.displayName[0] != L'\0' ? root.displayName : name, kUmtsClassMarker, root.hwId,
               state == DEVSTAT_ENABLED ? 1 : 0);
}

int CDeviceCatalog::FindPresentUmtsEntry(int* index)
{
    DeviceQueryScope scope;
    text_->SetSection(kUmtsSection);
    DeviceEntry root;
    for (int n = 0; ReadUmtsRoot(*text_, n, root); ++n) {
        wchar_t name[kDevicePropertyChars];
        if (IsDefiniteState(QueryByHwId(root.className, root.hwId, name))) {
            if (index)
                *index = n;
            return 1;
        }
    }
    return 0;
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
