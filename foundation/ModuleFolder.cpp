#include "foundation/ModuleFolder.h"

#include <vector>

namespace {

// The longest path the system hands out, terminator included.
constexpr size_t kLongestPathChars = 32768;

// path up to and including its last backslash or slash; empty when it has none.
std::wstring FolderOf(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

} // namespace

std::wstring ModulePath(HMODULE module)
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        // A full buffer means a cut path, which would name another file.
        if (length < path.size())
            return std::wstring(path.data(), length);
        if (path.size() >= kLongestPathChars)
            return std::wstring();
        path.resize(path.size() * 2);
    }
}

std::wstring ModuleFolder(HMODULE module)
{
    return FolderOf(ModulePath(module));
}
