#pragma once

// A handle of the service control manager or of one of its services.

#include "foundation/Handle.h"

#include <windows.h>

struct ServiceHandleTraits {
    using Type = SC_HANDLE;
    static Type None() noexcept { return nullptr; }
    static bool IsValid(Type h) noexcept { return h != nullptr; }
    static void Close(Type h) noexcept { ::CloseServiceHandle(h); }
};
using ServiceHandle = UniqueHandle<ServiceHandleTraits>;
