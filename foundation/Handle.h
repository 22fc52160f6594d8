#pragma once

#include <windows.h>

// Owns one operating-system handle and closes it exactly once. Move-only.
// A Traits class names the handle type, its "none" value and how to close it.
template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type Get() const noexcept { return handle_; }
    bool IsValid() const noexcept { return Traits::IsValid(handle_); }
    explicit operator bool() const noexcept { return IsValid(); }

    Type Release() noexcept
    {
        Type handle = handle_;
        handle_ = Traits::None();
        return handle;
    }

    void Reset(Type handle = Traits::None()) noexcept
    {
        if (Traits::IsValid(handle_))
            Traits::Close(handle_);
        handle_ = handle;
    }

    // For out-parameters: closes what is held and hands out the empty slot.
    Type* Put() noexcept
    {
        Reset();
        return &handle_;
    }

private:
    Type handle_ = Traits::None();
};

// Kernel objects. Both null and INVALID_HANDLE_VALUE mean "none": CreateFileW
// reports failure with the one, most other calls with the other.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

struct RegKeyTraits {
    using Type = HKEY;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
using RegKey = UniqueHandle<RegKeyTraits>;

struct MappedViewTraits {
    using Type = void*;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type p) noexcept { return p != nullptr; }
    static void Close(Type p) noexcept { ::UnmapViewOfFile(p); }
};
using MappedView = UniqueHandle<MappedViewTraits>;

struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::LocalFree(h); }
};
using LocalMemory = UniqueHandle<LocalMemoryTraits>;

struct LibraryTraits {
    using Type = HMODULE;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};
using Library = UniqueHandle<LibraryTraits>;

struct MenuTraits {
    using Type = HMENU;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::DestroyMenu(h); }
};
using Menu = UniqueHandle<MenuTraits>;

// The service control manager or one of its services.
struct ServiceHandleTraits {
    using Type = SC_HANDLE;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::CloseServiceHandle(h); }
};
using ServiceHandle = UniqueHandle<ServiceHandleTraits>;
