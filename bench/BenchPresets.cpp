#include "bench/BenchPresets.h"

#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

bool WriteBenchPreset(int index, const wchar_t* name, const std::vector<BenchPresetDevice>& devices)
{
    CcRegistry key;
    const std::wstring path = std::wstring(kProductKey) + L"\\" + kSettingSubKey + L"\\Preset" + std::to_wstring(index);
    if (!key.CreateKey(path.c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS))
        return false;
    bool written = key.SetValue(kPresetNameValue, name, REG_SZ, 0) != 0;
    for (size_t k = 0; k < devices.size(); ++k) {
        const std::wstring n = std::to_wstring(k);
        written = written && key.SetValue((n + L"_DeviceName").c_str(), devices[k].name.c_str(), REG_SZ, 0) &&
                  key.SetValue((n + L"_Class").c_str(), devices[k].className.c_str(), REG_SZ, 0) &&
                  key.SetValue((n + L"_HwId").c_str(), devices[k].hwId.c_str(), REG_SZ, 0) &&
                  key.SetDWord((n + L"_Setting").c_str(), devices[k].on ? 1 : 0) &&
                  key.SetValue((n + L"_DisplayName").c_str(), L"", REG_SZ, 0);
    }
    return written;
}
