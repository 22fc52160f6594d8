#include "BlockView.h"
#include "foundation/Names.h"

#include <cstdio>
#include <string>
#include <vector>

// Writes the fuzzer's seed corpus into the folder given: the requests the
// programs send, and near misses of them.

namespace {

struct Seed {
    std::uint32_t code;
    const wchar_t* first;  // key path or class name
    const wchar_t* second; // value name or hardware-ID prefix
    const wchar_t* text;   // REQ_SET_STRING only
    std::uint32_t number;
};

const Seed kSeeds[] = {
    {1, kDeviceListKey, kDeviceNumValue, nullptr, 3},
    {1, kCompanionFlagKey, kCompanionFlagValue, nullptr, 1},
    {1, kCompanionFlagKey, kCompanionFlagValue, nullptr, 2},
    {2, kDeviceListKey, L"0_HwId", L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01", 0},
    {2, kDeviceListKey, L"12_DeviceName", L"802.11n Wireless LAN Adapter", 0},
    {2, kDeviceListKey, L"2147483647_Class", L"Net", 0},
    {2, kDeviceListKey, L"2147483648_Class", L"Net", 0},
    {2, kDeviceListKey, L"01_Class", L"Net", 0},
    {2, L"SOFTWARE\\Korvath\\Airvane\\Device\\..\\Setting", L"0_Class", L"x", 0},
    {2, kRunKey, kAutostartValue, L"evil.exe", 0},
    {3, L"Net", L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01", nullptr, 0},
    {4, L"Net", L"PCI", nullptr, 0},
    {4, L"USB", L"USB\\VID_1E0E&PID_9001", nullptr, 0},
    {3, L"Bluetooth", L"", nullptr, 0},
    {3, L"", L"", nullptr, 0},
    {5, L"", L"", nullptr, 0},
    {0, L"", L"", nullptr, 0},
};

bool WriteSeed(const std::string& path, const std::uint8_t* block)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(block, 1, kBlockBytes, file) == kBlockBytes;
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    int n = 0;
    for (const Seed& seed : kSeeds) {
        std::uint8_t block[kBlockBytes] = {};
        block[0] = static_cast<std::uint8_t>(seed.code);
        WriteUnits(block, 4, seed.first);
        const bool device = seed.code == 3 || seed.code == 4;
        WriteUnits(block, device ? 260 : 516, seed.second);
        if (seed.text)
            WriteUnits(block, 644, seed.text);
        else if (!device)
            for (int i = 0; i < 4; ++i)
                block[644 + i] = static_cast<std::uint8_t>(seed.number >> (8 * i));
        block[1156] = block[1157] = block[1158] = block[1159] = 0xFF;
        if (!WriteSeed(std::string(argv[1]) + "/seed" + std::to_string(n++), block))
            return 1;
        // The same block with its second field filled to the end, without a terminator.
        for (size_t i = device ? 260 : 516; i < (device ? 1156u : 644u); i += 2)
            block[i] = 'x', block[i + 1] = 0;
        if (!WriteSeed(std::string(argv[1]) + "/seed" + std::to_string(n++), block))
            return 1;
    }
    return 0;
}
