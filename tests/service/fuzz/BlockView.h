#pragma once

// The 1160-byte request block as the service receives it, read into the host's
// TALO_REQUEST, whose wchar_t is wider than the block's UTF-16 units: each unit
// becomes one character, so terminators and lengths stay as in the block.

#include "service/ipc/TaloRequest.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr size_t kBlockBytes = 1160;

inline std::uint32_t Word32(const std::uint8_t* block, size_t offset)
{
    return block[offset] | block[offset + 1] << 8 | block[offset + 2] << 16 | std::uint32_t(block[offset + 3]) << 24;
}

template <size_t N>
void ReadUnits(const std::uint8_t* block, size_t offset, wchar_t (&field)[N])
{
    for (size_t i = 0; i < N; ++i)
        field[i] = static_cast<wchar_t>(block[offset + 2 * i] | block[offset + 2 * i + 1] << 8);
}

// The registry view (codes 1 and 2) and the device view (codes 3 and 4) of one block.
inline TALO_REQUEST RegistryView(const std::uint8_t* block)
{
    TALO_REQUEST request;
    std::memset(&request, 0, sizeof(request));
    request.Code = Word32(block, 0);
    ReadUnits(block, 4, request.Body.Registry.KeyPath);
    ReadUnits(block, 516, request.Body.Registry.ValueName);
    if (request.Code == 1)
        request.Body.Registry.Data.Number = Word32(block, 644);
    else
        ReadUnits(block, 644, request.Body.Registry.Data.Text);
    request.Result = static_cast<LONG>(Word32(block, 1156));
    return request;
}

inline TALO_REQUEST DeviceView(const std::uint8_t* block)
{
    TALO_REQUEST request;
    std::memset(&request, 0, sizeof(request));
    request.Code = Word32(block, 0);
    ReadUnits(block, 4, request.Body.Device.ClassName);
    ReadUnits(block, 260, request.Body.Device.HwIdPrefix);
    request.Result = static_cast<LONG>(Word32(block, 1156));
    return request;
}

// Writes text as UTF-16 units with a terminator at a block offset.
inline void WriteUnits(std::uint8_t* block, size_t offset, const wchar_t* text)
{
    for (size_t i = 0;; ++i) {
        block[offset + 2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
        block[offset + 2 * i + 1] = static_cast<std::uint8_t>((text[i] >> 8) & 0xFF);
        if (text[i] == L'\0')
            return;
    }
}
