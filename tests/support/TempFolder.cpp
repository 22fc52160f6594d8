#include "tests/support/TempFolder.h"

#include "foundation/Handle.h"

#include <atomic>

namespace {

struct FindHandleTraits {
    using Type = HANDLE;
    static Type None() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

// folder ends in a backslash and carries the long-path prefix.
void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW((folder + L"*").c_str(), &entry));
    if (find) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(find.Get(), &entry));
    }
    find.Reset();
    RemoveDirectoryW(folder.c_str());
}

} // namespace

std::wstring LongPath(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

TempFolder::TempFolder()
{
    static std::atomic<int> count{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"airvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++count) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(LongPath(path_));
}

bool TempFolder::CreateFolder(const std::wstring& relative) const
{
    return CreateDirectoryW(LongPath(path_ + relative).c_str(), nullptr) != FALSE;
}

bool TempFolder::WriteTextFile(const std::wstring& relative, const std::wstring& text) const
{
    std::wstring content = L"\xFEFF";
    for (wchar_t c : text) {
        if (c == L'\n')
            content += L'\r';
        content += c;
    }
    KernelHandle file(CreateFileW(LongPath(path_ + relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD bytes = static_cast<DWORD>(content.size() * sizeof(wchar_t));
    DWORD written = 0;
    return file && WriteFile(file.Get(), content.data(), bytes, &written, nullptr) && written == bytes;
}
