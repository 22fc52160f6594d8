#include "service/wnp/DevicePolicyLoader.h"

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
constexpr DWORD kValueChars = 512;
constexpr int kMostSubDevices = 64; // more than any modem has; bounds a mistyped count

std::wstring ReadProfile(const std::wstring& file, const wchar_t* section, const std::wstring& key)
{
    wchar_t value[kValueChars];
    GetPrivateProfileStringW(section, key.c_str(), L"", value, kValueChars, file.c_str());
    return value;
}

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

std::vector<std::wstring> LanguageFolders(const std::wstring& folder)
{
    const std::wstring languageIni = folder + kLanguageIniFile;
    std::vector<wchar_t> keys(32768);
    const DWORD length = GetPrivateProfileStringW(kLanguageFolderSection, nullptr, L"", keys.data(),
                                                  static_cast<DWORD>(keys.size()), languageIni.c_str());
    std::vector<std::wstring> folders;
    for (const wchar_t* key = keys.data(); key < keys.data() + length && *key != L'\0'; key += wcslen(key) + 1) {
        const std::wstring name = ReadProfile(languageIni, kLanguageFolderSection, key);
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

void AddSectionDevices(const std::wstring& textFile, const std::wstring& section, CDevicePolicy& policy)
{
    for (int n = 0;; ++n) {
        const std::wstring className = ReadProfile(textFile, section.c_str(), Key(kClassValueFormat, n));
        if (className.empty())
            return;
        policy.AddNamedDevice(className, ReadProfile(textFile, section.c_str(), Key(kHwIdValueFormat, n)));
    }
}

void AddUmtsDevices(const std::wstring& textFile, CDevicePolicy& policy)
{
    for (int m = 0;; ++m) {
        const std::wstring rootClass = ReadProfile(textFile, kUmtsSection, Key(kUmtsRootClassFormat, m));
        if (rootClass.empty())
            return;
        policy.AddNamedDevice(rootClass, ReadProfile(textFile, kUmtsSection, Key(kUmtsRootHwIdFormat, m)));
        const int subDevices = _wtoi(ReadProfile(textFile, kUmtsSection, Key(kUmtsSubNumFormat, m)).c_str());
        for (int s = 0; s < subDevices && s < kMostSubDevices; ++s) {
            const std::wstring subClass = ReadProfile(textFile, kUmtsSection, Key(kUmtsSubClassFormat, m, s));
            if (!subClass.empty())
                policy.AddNamedDevice(subClass, ReadProfile(textFile, kUmtsSection, Key(kUmtsSubHwIdFormat, m, s)));
        }
    }
}

void AddTextFileDevices(const std::wstring& textFile, CDevicePolicy& policy)
{
    for (int k = 0;; ++k) {
        const std::wstring entry = ReadProfile(textFile, kDeviceListSection, Key(L"%d", k));
        if (entry.empty())
            break;
        // "WLAN" devices come from the registered device list; "UMTS" is read once below.
        if (CompareStringOrdinal(entry.c_str(), -1, kUmtsDeviceListValue, -1, TRUE) != CSTR_EQUAL &&
            CompareStringOrdinal(entry.c_str(), -1, kWlanDeviceListValue, -1, TRUE) != CSTR_EQUAL) {
            AddSectionDevices(textFile, entry, policy);
        }
    }
    AddUmtsDevices(textFile, policy);
}

// The hardware IDs of the records below "DeviceNum". The key's values are
// walked, so a count that no records back costs nothing.
void AddRegisteredDevices(CDevicePolicy& policy)
{
    CcRegistry key;
    if (!key.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ))
        return;
    const DWORD count = key.GetDWord(kDeviceNumValue, 0, 0);
    const wchar_t* hwIdSuffix = kHwIdValueFormat + 2; // after its "%d"
    for (DWORD i = 0;; ++i) {
        wchar_t name[64];
        DWORD nameChars = ARRAYSIZE(name);
        DWORD type = REG_NONE;
        const LONG status = RegEnumValueW(key.GetHandle(), i, name, &nameChars, nullptr, &type, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
            continue; // a longer name is no record's
        if (status != ERROR_SUCCESS)
            return;
        const long long index = DeviceRecordIndex(name, hwIdSuffix);
        if (type != REG_SZ || index < 0 || index >= count)
            continue;
        const CcString hwId = key.GetString(name, L"", 0);
        if (!hwId.IsEmpty())
            policy.AddRegisteredHwId(hwId.GetString());
    }
}

} // namespace

void LoadDevicePolicy(const std::wstring& folder, CDevicePolicy& policy)
{
    for (const std::wstring& language : LanguageFolders(folder))
        AddTextFileDevices(folder + language + L"\\" + kTextFile, policy);
    AddRegisteredDevices(policy);
}
