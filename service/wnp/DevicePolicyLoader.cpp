#include "service/wnp/DevicePolicyLoader.h"

#include "foundation/CTextMgr.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

#include <cwchar>
#include <vector>

namespace {

constexpr wchar_t kLanguageFolderSection[] = L"Folder";
constexpr wchar_t kUmtsRootClassFormat[] = L"UMTS%d_ROOT_CLASS";
constexpr wchar_t kUmtsRootHwIdFormat[] = L"UMTS%d_ROOT_HWID";
constexpr wchar_t kUmtsSubNumFormat[] = L"UMTS%d_SUBNUM";
constexpr wchar_t kUmtsSubClassFormat[] = L"UMTS%d_SUB%d_CLASS";
constexpr wchar_t kUmtsSubHwIdFormat[] = L"UMTS%d_SUB%d_HWID";
constexpr wchar_t kUmtsDeviceListValue[] = L"UMTS";
constexpr wchar_t kWlanDeviceListValue[] = L"WLAN";
constexpr int kValueChars = 512;
constexpr int kMostSubDevices = 64; // more than any modem has; bounds a mistyped count

std::wstring Key(const wchar_t* format, int first, int second = 0)
{
    wchar_t key[64];
    swprintf(key, 64, format, first, second);
    return key;
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
            seen = seen || CompareStringOrdinal(known.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
        if (!seen)
            folders.push_back(name);
    }
    return folders;
}

std::wstring Text(CTextMgr& text, const std::wstring& key)
{
    return text.GetText(key.c_str());
}

void AddSectionDevices(CTextMgr& text, const std::wstring& section, CDevicePolicy& policy)
{
    text.SetSection(section.c_str());
    for (int n = 0;; ++n) {
        const std::wstring className = Text(text, Key(kClassValueFormat, n));
        if (className.empty())
            return;
        policy.AddNamedDevice(className, Text(text, Key(kHwIdValueFormat, n)));
    }
}

void AddUmtsDevices(CTextMgr& text, CDevicePolicy& policy)
{
    text.SetSection(kUmtsSection);
    for (int m = 0;; ++m) {
        const std::wstring rootClass = Text(text, Key(kUmtsRootClassFormat, m));
        if (rootClass.empty())
            return;
        policy.AddNamedDevice(rootClass, Text(text, Key(kUmtsRootHwIdFormat, m)));
        const int subDevices = _wtoi(Text(text, Key(kUmtsSubNumFormat, m)).c_str());
        for (int s = 0; s < subDevices && s < kMostSubDevices; ++s) {
            const std::wstring subClass = Text(text, Key(kUmtsSubClassFormat, m, s));
            if (!subClass.empty())
                policy.AddNamedDevice(subClass, Text(text, Key(kUmtsSubHwIdFormat, m, s)));
        }
    }
}

void AddTextFileDevices(const std::wstring& textFile, CDevicePolicy& policy)
{
    CTextMgr text(textFile.c_str(), kDeviceListSection, kValueChars);
    for (int k = 0;; ++k) {
        text.SetSection(kDeviceListSection);
        const std::wstring entry = Text(text, Key(L"%d", k));
        if (entry.empty())
            break;
        // "WLAN" devices come from the registered device list; "UMTS" is read once below.
        if (CompareStringOrdinal(entry.c_str(), -1, kUmtsDeviceListValue, -1, TRUE) != CSTR_EQUAL &&
            CompareStringOrdinal(entry.c_str(), -1, kWlanDeviceListValue, -1, TRUE) != CSTR_EQUAL) {
            AddSectionDevices(text, entry, policy);
        }
    }
    AddUmtsDevices(text, policy);
}

// A value of device record index; false when it is missing or not REG_SZ.
bool ReadRecordValue(CcRegistry& key, const wchar_t* format, DWORD index, CcString& text)
{
    DWORD type = REG_NONE;
    text = key.GetString(Key(format, static_cast<int>(index)).c_str(), L"", 0, &type);
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
