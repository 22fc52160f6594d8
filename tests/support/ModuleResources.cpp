#include "tests/support/ModuleResources.h"

#include "foundation/Handle.h"

#include <vector>

namespace {

template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name)
{
    const HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : nullptr;
}

// The whole version resource, as GetFileVersionInfoW would copy it.
std::vector<BYTE> VersionBlock(HMODULE module)
{
    if (!module)
        module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    // VerQueryValueW needs a writable copy of the block.
    return data ? std::vector<BYTE>(data, data + SizeofResource(module, found)) : std::vector<BYTE>();
}

} // namespace

std::wstring VersionString(HMODULE module, const wchar_t* name)
{
    std::vector<BYTE> block = VersionBlock(module);
    if (block.empty())
        return std::wstring();
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &size) ||
        size < sizeof(Translation)) {
        return std::wstring();
    }
    wchar_t path[128];
    wsprintfW(path, L"\\StringFileInfo\\%04x%04x\\%s", translations->language, translations->codePage, name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &size) || !value)
        return std::wstring();
    return value;
}

bool FixedVersion(HMODULE module, VS_FIXEDFILEINFO* info)
{
    std::vector<BYTE> block = VersionBlock(module);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (block.empty() || !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) ||
        size < sizeof(*fixed)) {
        return false;
    }
    *info = *fixed;
    return true;
}

bool UsesCommonControls6()
{
    const Library controls(LoadLibraryW(L"comctl32.dll"));
    std::vector<wchar_t> path(32768);
    const DWORD length = controls ? GetModuleFileNameW(controls.Get(), path.data(), static_cast<DWORD>(path.size())) : 0;
    std::wstring lower(path.data(), length);
    CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    return lower.find(L"\\winsxs\\") != std::wstring::npos &&
           lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.") != std::wstring::npos;
}

int ThreadDpiAwareness()
{
    using GetContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using GetAwareness = int(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto getContext = SystemFunction<GetContext>(L"user32.dll", "GetThreadDpiAwarenessContext");
    const auto getAwareness = SystemFunction<GetAwareness>(L"user32.dll", "GetAwarenessFromDpiAwarenessContext");
    return getContext && getAwareness ? getAwareness(getContext()) : -1;
}

std::vector<int> IconImageSizes(HMODULE module, int iconId)
{
    if (!module)
        module = GetModuleHandleW(nullptr);
    // The group's directory: a 6-byte header (reserved, type, count), then one
    // 14-byte entry per image whose first byte is its width (0 for 256).
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(iconId), RT_GROUP_ICON);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    const DWORD bytes = found ? SizeofResource(module, found) : 0;
    std::vector<int> sizes;
    if (!data || bytes < 6)
        return sizes;
    const int count = data[4] | data[5] << 8;
    for (int i = 0; i < count && 6 + 14 * DWORD(i + 1) <= bytes; ++i)
        sizes.push_back(data[6 + 14 * i] ? data[6 + 14 * i] : 256);
    return sizes;
}

int LoadedIconWidth(HMODULE module, int iconId, int size)
{
    if (!module)
        module = GetModuleHandleW(nullptr);
    const HICON icon =
        static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (!icon)
        return 0;
    ICONINFO info = {};
    BITMAP colour = {};
    if (GetIconInfo(icon, &info)) {
        GetObjectW(info.hbmColor, sizeof(colour), &colour);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    DestroyIcon(icon);
    return colour.bmWidth;
}
