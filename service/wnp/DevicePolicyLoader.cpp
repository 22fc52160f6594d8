#include "service/wnp/DevicePolicyLoader.h"

#include "foundation/CTextMgr.h"
#include "foundation/CcRegistry.h"
#include "foundation/DeviceSections.h"
#include "foundation/Names.h"

#include <cwchar>
#include <vector>

namespace {

constexpr int kValueChars = 512;
constexpr int kMostSubDevices = 64; // more than any modem has; bounds a mistyped count

bool SameName(const std::wstring& a, const wchar_t* b)
{
    return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Only a sub-folder of the library's own folder holds an installed text file.
bool IsPlainFolderName(const std::wstring& name)
{
    return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring::npos;
}

// Every folder that "Language.ini" names, for any language; the text
// manager reads values only, so the keys are listed by the profile call.
std::vector<std::wstring> LanguageFolders(const std::wstring& folder)
{
    const std::wstring languageIni = folder + kLanguageIniFile;
    std::vector<wchar_t> keys(32768);
    const DWORD length = GetPrivateProfileStringW(kLanguageFolderSection, nullptr, L"", keys.data(),
                                                  static_cast<DWORD>(keys.size()), languageIni.c_str());
    CTextMgr language(languageIni.c_str(), kLanguageFolderSection, kValueChars);
    std::vector<std::wstring> folders;
    for (const wchar_t* key = keys.data(); key < keys.data() + length && *key != L'\0'; key += wcslen(key) + 1) {
        const std::wstring name = language.GetText(key);
        if (!IsPlainFolderName(name))
            continue;
        bool seen = false;
        for (const std::wstring& known : folders)
            seen = seen || SameName(known, name.c_str());
        if (!seen)
            folders.push_back(name);
    }
    return folders;
}

void AddUmtsDevices(CDeviceSections& sections, CDevicePolicy& policy)
{
    for (const UmtsEntry& entry : sections.UmtsEntries()) {
        policy.AddNamedDevice(entry.root.className, entry.root.hwId);
        for (int sub = 0; sub < entry.subDevices && sub < kMostSubDevices; ++sub) {
            const DeviceSectionEntry device = sections.UmtsSubDevice(entry.root.index, sub);
            if (!device.className.empty())
                policy.AddNamedDevice(device.className, device.hwId);
        }
    }
}

void AddTextFileDevices(const std::wstring& textFile, CDevicePolicy& policy)
{
    CDeviceSections sections(textFile.c_str());
    for (const std::wstring& type : sections.ListedTypes()) {
        // "WLAN" devices come from the registered device list; "UMTS" is read once below.
        if (SameName(type, kDeviceListUmts) || SameName(type, kDeviceListWlan))
            continue;
        for (const DeviceSectionEntry& entry : sections.Entries(type.c_str()))
            policy.AddNamedDevice(entry.className, entry.hwId);
    }
    AddUmtsDevices(sections, policy);
}

// A value of device record index; false when it is missing or not REG_SZ.
bool ReadRecordValue(CcRegistry& key, const wchar_t* format, DWORD index, CcString& text)
{
    wchar_t name[64];
    swprintf(name, ARRAYSIZE(name), format, static_cast<int>(index));
    DWORD type = REG_NONE;
    text = key.GetString(name, L"", 0, &type);
    return type == REG_SZ;
}

} // namespace

std::vector<std::wstring> InstalledTextFiles(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    for (const std::wstring& language : LanguageFolders(folder))
        files.push_back(folder + language + L"\\" + kTextFile);
    return files;
}

void LoadNamedDevices(const std::vector<std::wstring>& textFiles, CDevicePolicy& policy)
{
    for (const std::wstring& file : textFiles)
        AddTextFileDevices(file, policy);
}

void LoadRegisteredDevices(CDevicePolicy& policy)
{
    CcRegistry key;
    if (!key.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ))
        return;
    const DWORD count = key.GetDWord(kDeviceNumValue, 0, 0);
    for (DWORD i = 0; i < count && i < static_cast<DWORD>(kMostDeviceRecords); ++i) {
        CcString name, className, hwId;
        if (!ReadRecordValue(key, kDeviceNameValueFormat, i, name) ||
            !ReadRecordValue(key, kClassValueFormat, i, className) || !ReadRecordValue(key, kHwIdValueFormat, i, hwId))
            return;
        if (!hwId.IsEmpty())
            policy.AddRegisteredHwId(hwId.GetString());
    }
}
