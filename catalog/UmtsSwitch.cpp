// Switching the UMTS modem: its root and sub-devices, as the "UMTS" section of
// the catalog's text file describes the entry that is installed. On goes root
// first, then the sub-devices upwards; off goes the sub-devices downwards, root
// last. Each step is one request to the switching service.
#include "catalog/DeviceCatalog.h"

#include "catalog/CatalogText.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"

namespace {

constexpr int kKeyChars = 64;

// Switches the device that the two keys name. A class or prefix too long for
// its field counts as a failed step (a cut prefix would select more devices),
// and so does an empty class, which names no device.
bool SwitchDevice(CTextMgr& text, const wchar_t* classKey, const wchar_t* hwIdKey, bool on)
{
    TextField className;
    TextField hwIdPrefix;
    if (!ReadTextField(text, classKey, className) || className[0] == L'\0' ||
        !ReadTextField(text, hwIdKey, hwIdPrefix))
        return false;
    return (on ? RequestEnableDevice(className, hwIdPrefix) : RequestDisableDevice(className, hwIdPrefix)) == 0;
}

bool SwitchRoot(CTextMgr& text, int entry, bool on)
{
    wchar_t classKey[kKeyChars];
    wchar_t hwIdKey[kKeyChars];
    wsprintfW(classKey, kUmtsRootClassKeyFormat, entry);
    wsprintfW(hwIdKey, kUmtsRootHwIdKeyFormat, entry);
    return SwitchDevice(text, classKey, hwIdKey, on);
}

bool SwitchSubDevice(CTextMgr& text, int entry, int sub, bool on)
{
    wchar_t classKey[kKeyChars];
    wchar_t hwIdKey[kKeyChars];
    wsprintfW(classKey, kUmtsSubClassKeyFormat, entry, sub);
    wsprintfW(hwIdKey, kUmtsSubHwIdKeyFormat, entry, sub);
    return SwitchDevice(text, classKey, hwIdKey, on);
}

// "UMTS%d_SUBNUM" read as _wtoi reads it; missing, empty or negative: none.
int SubDeviceCount(CTextMgr& text, int entry)
{
    wchar_t key[kKeyChars];
    wsprintfW(key, kUmtsSubCountKeyFormat, entry);
    const int count = _wtoi(text.GetText(key));
    return count > 0 ? count : 0;
}

} // namespace

int CDeviceCatalog::EnableUmtsModem()
{
    int entry = 0;
    if (!FindPresentUmtsEntry(&entry))
        return 0;
    CTextMgr& text = GetTextMgr();
    text.SetSection(kUmtsSection);
    if (!SwitchRoot(text, entry, true))
        return 0;
    const int subDevices = SubDeviceCount(text, entry);
    for (int sub = 0; sub < subDevices; ++sub) {
        if (!SwitchSubDevice(text, entry, sub, true))
            return 0;
    }
    return 1;
}

int CDeviceCatalog::DisableUmtsModem()
{
    int entry = 0;
    if (!FindPresentUmtsEntry(&entry))
        return 0;
    CTextMgr& text = GetTextMgr();
    text.SetSection(kUmtsSection);
    for (int sub = SubDeviceCount(text, entry) - 1; sub >= 0; --sub) {
        if (!SwitchSubDevice(text, entry, sub, false))
            return 0;
    }
    return SwitchRoot(text, entry, false) ? 1 : 0;
}
