#include "tests/launcher/ScopedAutostart.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"

namespace {

RegKey OpenRunKey(REGSAM access)
{
    RegKey key;
    RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, access, nullptr, key.Put(), nullptr);
    return key;
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
