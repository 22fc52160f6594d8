#pragma once

// A registry key of the test's own, created under a unique path and deleted with
// its whole subtree when the object goes out of scope.
//   ScopedRegKey key;                                  // HKCU\Software\AirvaneTests\...
//   CcRegistry registry;
//   registry.OpenKey(key.Path(), key.Root(), KEY_ALL_ACCESS);
//   RegSetValueExW(key.Get(), ...);                     // set up or inspect directly

#include "foundation/Handle.h"

#include <string>
#include <windows.h>

class ScopedRegKey {
public:
    explicit ScopedRegKey(HKEY root = HKEY_CURRENT_USER);
    ~ScopedRegKey();
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;

    HKEY Root() const { return root_; }
    const wchar_t* Path() const { return path_.c_str(); }
    // The key itself, open with full access.
    HKEY Get() const { return key_.Get(); }

private:
    HKEY root_;
    std::wstring path_;
    RegKey key_;
};
