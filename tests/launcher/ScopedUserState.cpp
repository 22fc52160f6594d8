#include "tests/launcher/ScopedUserState.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "tests/support/UniqueName.h"

namespace {

const std::wstring kSettingPath = std::wstring(kProductKey) + L"\\" + kSettingSubKey;

RegKey OpenRunKey(REGSAM access)
{
    RegKey key;
    RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, access, nullptr, key.Put(), nullptr);
    return key;
}

bool KeyExists(const std::wstring& path)
{
    RegKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// Copies the tree from one path to another of HKEY_CURRENT_USER.
bool CopyTree(const std::wstring& from, const std::wstring& to)
{
    RegKey source;
    RegKey target;
    return RegOpenKeyExW(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, source.Put()) == ERROR_SUCCESS &&
           RegCreateKeyExW(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, target.Put(),
                           nullptr) == ERROR_SUCCESS &&
           RegCopyTreeW(source.Get(), nullptr, target.Get()) == ERROR_SUCCESS;
}

void DeleteTree(const std::wstring& path)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

} // namespace

ScopedAutostart::ScopedAutostart()
{
    const RegKey run = OpenRunKey(KEY_READ);
    DWORD bytes = 0;
    existed_ = RegQueryValueExW(run.Get(), kAutostartValue, nullptr, &type_, nullptr, &bytes) == ERROR_SUCCESS;
    if (existed_) {
        data_.resize(bytes);
        RegQueryValueExW(run.Get(), kAutostartValue, nullptr, &type_, data_.data(), &bytes);
    }
}

ScopedAutostart::~ScopedAutostart()
{
    const RegKey run = OpenRunKey(KEY_SET_VALUE);
    if (existed_)
        RegSetValueExW(run.Get(), kAutostartValue, 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
    else
        RegDeleteValueW(run.Get(), kAutostartValue);
}

bool ScopedAutostart::Set(const std::wstring& commandLine)
{
    const RegKey run = OpenRunKey(KEY_SET_VALUE);
    return RegSetValueExW(run.Get(), kAutostartValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(commandLine.c_str()),
                          static_cast<DWORD>((commandLine.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool ScopedAutostart::Exists()
{
    const RegKey run = OpenRunKey(KEY_READ);
    return RegQueryValueExW(run.Get(), kAutostartValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

ScopedPresets::ScopedPresets() : backup_(L"Software\\AirvaneTests\\" + UniqueName(L"Presets"))
{
    saved_ = KeyExists(kSettingPath);
    if (saved_ && !CopyTree(kSettingPath, backup_))
        return; // keep the person's presets rather than lose them
    DeleteTree(kSettingPath);
    ready_ = !KeyExists(kSettingPath);
}

ScopedPresets::~ScopedPresets()
{
    if (saved_ && !ready_)
        return;
    DeleteTree(kSettingPath);
    if (saved_)
        CopyTree(backup_, kSettingPath);
    DeleteTree(backup_);
}
