#include "catalog/PresetSwap.h"

#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

#include <vector>

namespace {

constexpr DWORD kLockWaitMs = 10000;
constexpr DWORD kMostNameChars = 256;        // registry key names
constexpr DWORD kMostValueNameChars = 16384; // registry value names

bool KeyExists(HKEY parent, const wchar_t* name)
{
    CcRegistry key;
    return key.OpenKey(name, parent, KEY_READ) != 0;
}

// Every value of one key into another, name, type and bytes as they are.
bool CopyValues(HKEY from, HKEY to)
{
    std::vector<wchar_t> name(kMostValueNameChars);
    std::vector<BYTE> data;
    for (DWORD i = 0;; ++i) {
        DWORD nameChars = kMostValueNameChars;
        DWORD type = REG_NONE;
        DWORD bytes = 0;
        LONG status = RegEnumValueW(from, i, name.data(), &nameChars, nullptr, &type, nullptr, &bytes);
        if (status == ERROR_NO_MORE_ITEMS)
            return true;
        if (status != ERROR_SUCCESS)
            return false;
        data.resize(bytes + 1);
        nameChars = kMostValueNameChars;
        status = RegEnumValueW(from, i, name.data(), &nameChars, nullptr, &type, data.data(), &bytes);
        if (status != ERROR_SUCCESS || RegSetValueExW(to, name.data(), 0, type, data.data(), bytes) != ERROR_SUCCESS)
            return false;
    }
}

// Each sub-key of "from" (the presets, which have none of their own) as a sub-key of "to".
bool CopyPresetKeys(HKEY from, HKEY to)
{
    for (DWORD i = 0;; ++i) {
        wchar_t name[kMostNameChars];
        DWORD nameChars = kMostNameChars;
        const LONG status = RegEnumKeyExW(from, i, name, &nameChars, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            return true;
        CcRegistry source;
        CcRegistry target;
        if (status != ERROR_SUCCESS || !source.OpenKey(name, from, KEY_READ) ||
            !target.CreateKey(name, to, KEY_ALL_ACCESS) || !CopyValues(source.GetHandle(), target.GetHandle())) {
            return false;
        }
    }
}

} // namespace

CPresetStoreLock::CPresetStoreLock() : mutex_(CreateMutexW(nullptr, FALSE, kPresetStoreMutex))
{
    if (!mutex_)
        return;
    const DWORD waited = WaitForSingleObject(mutex_.Get(), kLockWaitMs);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

CPresetStoreLock::~CPresetStoreLock()
{
    if (held_)
        ReleaseMutex(mutex_.Get());
}

bool PutSavedPresetsInPlace()
{
    CcRegistry product;
    if (!product.OpenKey(kProductKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS))
        return false;
    // Copied over remains of the old tree, the new presets could gain old devices.
    product.DeleteKey(kSettingSubKey);
    if (KeyExists(product.GetHandle(), kSettingSubKey))
        return false;
    CcRegistry saving;
    DWORD presets = 0;
    if (!saving.OpenKey(kSettingSavingSubKey, product.GetHandle(), KEY_ALL_ACCESS) ||
        RegQueryInfoKeyW(saving.GetHandle(), nullptr, nullptr, nullptr, &presets, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    // No presets, no "Setting" key.
    if (presets > 0) {
        CcRegistry setting;
        if (!setting.CreateKey(kSettingSubKey, product.GetHandle(), KEY_ALL_ACCESS) ||
            !CopyPresetKeys(saving.GetHandle(), setting.GetHandle())) {
            return false;
        }
        setting.CloseKey(1);
    }
    // Unmarked first: a partial "Setting.Saving" is one that a load removes.
    if (!saving.DeleteValue(kSavedWholeValue))
        return false;
    saving.CloseKey();
    product.DeleteKey(kSettingSavingSubKey);
    return !KeyExists(product.GetHandle(), kSettingSavingSubKey);
}

bool FinishInterruptedSave()
{
    CcRegistry product;
    if (!product.OpenKey(kProductKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS) ||
        !KeyExists(product.GetHandle(), kSettingSavingSubKey)) {
        return true;
    }
    bool whole = false;
    {
        CcRegistry saving;
        whole = saving.OpenKey(kSettingSavingSubKey, product.GetHandle(), KEY_READ) &&
                saving.GetDWord(kSavedWholeValue, 0, 0) == 1;
    }
    if (whole)
        return PutSavedPresetsInPlace();
    product.DeleteKey(kSettingSavingSubKey);
    return !KeyExists(product.GetHandle(), kSettingSavingSubKey);
}
