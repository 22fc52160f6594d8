#pragma once

// The two Win32 integer types the request block uses, for the host build of the
// request checks, which has no Windows headers.
#include <cstdint>

using DWORD = std::uint32_t;
using LONG = std::int32_t;
