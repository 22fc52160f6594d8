// Builds the settings program's catalog in a process of its own, so that a test
// can have Wine report another Windows version to it. Prints one line per record,
// "name<TAB>class<TAB>hardware ID<TAB>setting", in UTF-8; the exit code is the count.
//   catalog_probe <text file>
#include "catalog/DeviceCatalog.h"

#include <string>

namespace {

void Print(const std::wstring& line)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], bytes, nullptr,
                        nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return -1;
    CDeviceCatalog catalog(SettingsCatalogOptions(), argv[1]);
    for (int i = 0; i < catalog.GetSize(); ++i) {
        const TALO_DEVICEINFO& record = catalog[i];
        Print(std::wstring(record.DeviceName) + L"\t" + record.Class.GetString() + L"\t" + record.HwId.GetString() +
              L"\t" + std::to_wstring(record.Setting) + L"\n");
    }
    return catalog.GetSize();
}
