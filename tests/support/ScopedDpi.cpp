#include "tests/support/ScopedDpi.h"

#include "foundation/Handle.h"

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixelsValue[] = L"LogPixels";

RegKey OpenDesktopKey()
{
    RegKey key;
    RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                    key.Put(), nullptr);
    return key;
}

} // namespace

ScopedDpi::ScopedDpi(DWORD dpi)
{
    const RegKey key = OpenDesktopKey();
    if (!key)
        return;
    DWORD type = 0;
    DWORD size = sizeof(previous_);
    hadValue_ = RegQueryValueExW(key.Get(), kLogPixelsValue, nullptr, &type, reinterpret_cast<BYTE*>(&previous_),
                                 &size) == ERROR_SUCCESS &&
                type == REG_DWORD;
    applied_ = RegSetValueExW(key.Get(), kLogPixelsValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                              sizeof(dpi)) == ERROR_SUCCESS;
}

ScopedDpi::~ScopedDpi()
{
    if (!applied_)
        return;
    const RegKey key = OpenDesktopKey();
    if (hadValue_)
        RegSetValueExW(key.Get(), kLogPixelsValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_),
                       sizeof(previous_));
    else
        RegDeleteValueW(key.Get(), kLogPixelsValue);
}

int ScreenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}
