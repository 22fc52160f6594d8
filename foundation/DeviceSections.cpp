#include "foundation/DeviceSections.h"

#include "foundation/Names.h"

#include <cstdlib>
#include <cwchar>

namespace {

constexpr int kValueChars = 512;
constexpr wchar_t kListKeyFormat[] = L"%d";

} // namespace

CDeviceSections::CDeviceSections(const wchar_t* textFilePath)
    : text_(textFilePath, kDeviceListSection, kValueChars)
{
}

std::wstring CDeviceSections::Read(const wchar_t* format, int first, int second)
{
    wchar_t key[64];
    swprintf(key, ARRAYSIZE(key), format, first, second);
    return text_.GetText(key);
}

std::vector<std::wstring> CDeviceSections::ListedTypes()
{
    text_.SetSection(kDeviceListSection);
    std::vector<std::wstring> types;
    for (int k = 0;; ++k) {
        std::wstring type = Read(kListKeyFormat, k);
        if (type.empty())
            return types;
        types.push_back(std::move(type));
    }
}

std::vector<DeviceSectionEntry> CDeviceSections::Entries(const wchar_t* section)
{
    text_.SetSection(section);
    std::vector<DeviceSectionEntry> entries;
    for (int n = 0;; ++n) {
        DeviceSectionEntry entry;
        entry.className = Read(kClassValueFormat, n);
        if (entry.className.empty())
            return entries;
        entry.section = section;
        entry.index = n;
        entry.hwId = Read(kHwIdValueFormat, n);
        entry.displayName = Read(kDisplayNameValueFormat, n);
        entries.push_back(std::move(entry));
    }
}

std::vector<UmtsEntry> CDeviceSections::UmtsEntries()
{
    text_.SetSection(kUmtsSection);
    std::vector<UmtsEntry> entries;
    for (int n = 0;; ++n) {
        UmtsEntry entry;
        entry.root.className = Read(kUmtsRootClassKeyFormat, n);
        if (entry.root.className.empty())
            return entries;
        entry.root.section = kUmtsSection;
        entry.root.index = n;
        entry.root.hwId = Read(kUmtsRootHwIdKeyFormat, n);
        entry.root.displayName = Read(kUmtsRootDisplayNameKeyFormat, n);
        const int subDevices = _wtoi(Read(kUmtsSubCountKeyFormat, n).c_str());
        entry.subDevices = subDevices > 0 ? subDevices : 0;
        entries.push_back(std::move(entry));
    }
}

DeviceSectionEntry CDeviceSections::UmtsSubDevice(int entry, int sub)
{
    text_.SetSection(kUmtsSection);
    DeviceSectionEntry device;
    device.section = kUmtsSection;
    device.index = sub;
    device.className = Read(kUmtsSubClassKeyFormat, entry, sub);
    device.hwId = Read(kUmtsSubHwIdKeyFormat, entry, sub);
    return device;
}
