// Figure 4: building the device catalog (the settings program's flavour) in this
// process on a simulated machine of its own with 10, 100 and 1000 devices, each
// listed by an entry of the text file.
#include "bench/BenchClock.h"
#include "bench/BenchFigures.h"
#include "catalog/DeviceCatalog.h"
#include "foundation/Handle.h"
#include "sim/SimNotebook.h"

#include <string>

namespace {

constexpr wchar_t kBenchClass[] = L"BenchDevice";
constexpr GUID kBenchClassGuid = {0x5a1e7b3c, 0x2d4f, 0x4e60, {0x9b, 0x1a, 0x7c, 0x3e, 0x5f, 0x20, 0x8d, 0x41}};
constexpr double kBudgetMicroseconds = 15e6; // per size, after the first build

std::wstring HardwareId(int n)
{
    wchar_t id[32];
    wsprintfW(id, L"BENCH\\DEV_%04d", n);
    return id;
}

// UTF-16LE with a byte-order mark, as the product's text files are.
bool WriteTextFile(const std::wstring& path, int devices)
{
    std::wstring text = L"\xFEFF[DeviceList]\r\n0=BENCH\r\n[BENCH]\r\n";
    for (int n = 0; n < devices; ++n) {
        const std::wstring key = std::to_wstring(n);
        text += key + L"_Class=" + kBenchClass + L"\r\n" + key + L"_HwId=" + HardwareId(n) + L"\r\n" + key +
                L"_DisplayName=\r\n";
    }
    const KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    return file && WriteFile(file.Get(), text.data(), bytes, &written, nullptr) && written == bytes;
}

bool AddDevices(CSimNotebook& notebook, int from, int to)
{
    for (int n = from; n < to; ++n) {
        SimDevice device;
        device.enumerator = L"ROOT";
        device.className = kBenchClass;
        device.hardwareIds = {HardwareId(n) + L"&REV_01", HardwareId(n)};
        device.description = L"Bench device " + std::to_wstring(n);
        device.disabledConfig = n % 3 == 0;
        if (!notebook.AddDevice(device))
            return false;
    }
    return true;
}

// The first build warms up; then builds until the budget (microseconds) is spent, at least `least` of them.
bool TimeBuilds(const std::wstring& textFile, int devices, int least, double budget, Samples& samples)
{
    CDeviceCatalog catalog(SettingsCatalogOptions(), textFile.c_str());
    if (catalog.GetSize() != devices)
        return false;
    const Stopwatch spent;
    while (samples.Count() < static_cast<size_t>(least) || spent.Microseconds() < budget) {
        const Stopwatch one;
        if (catalog.BuildCatalog() != devices)
            return false;
        samples.Add(one.Microseconds());
        if (samples.Count() >= 50)
            break;
    }
    return true;
}

} // namespace

void RunCatalogFigure(const BenchPlan& plan, BenchTable& table)
{
    const std::wstring root = L"SOFTWARE\\AirvaneBenchSim\\" + std::to_wstring(GetCurrentProcessId());
    SetEnvironmentVariableW(L"AIRVANE_SIM_ROOT", root.c_str());
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"AirvaneBench" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring textFile = folder + L"\\TALOTXT.ini";

    const int sizes[] = {10, 100, 1000};
    double median[3] = {};
    {
        CSimNotebook notebook;
        notebook.Clear();
        bool ready = notebook.AddClass(kBenchClass, kBenchClassGuid) != 0;
        int present = 0;
        for (int i = 0; i < 3 && ready; ++i) {
            Samples samples;
            ready = AddDevices(notebook, present, sizes[i]) && WriteTextFile(textFile, sizes[i]) &&
                    TimeBuilds(textFile, sizes[i], plan.quick ? 1 : 5, plan.quick ? 0 : kBudgetMicroseconds, samples);
            present = sizes[i];
            BenchRow row;
            row.figure = "4  catalog build, " + std::to_string(sizes[i]) + " devices";
            if (ready) {
                median[i] = samples.Median();
                row.median = Duration(median[i]);
                row.spread = Duration(samples.Min()) + "–" + Duration(samples.Max());
            } else {
                table.Note("4: the catalog of " + std::to_string(sizes[i]) + " devices could not be built.");
            }
            table.Add(row);
        }
        notebook.Clear();
    }
    BenchRow growth;
    growth.figure = "4  growth t(1000) / t(100)";
    growth.goal = "≤ 12";
    if (median[1] > 0 && median[2] > 0) {
        growth.median = Number(median[2] / median[1], 1);
        growth.verdict = median[2] / median[1] <= 12 ? BenchRow::Goal::Met : BenchRow::Goal::NotMet;
    } else {
        growth.verdict = BenchRow::Goal::Unknown;
    }
    table.Add(growth);
    table.Note("4: one class of devices, one text-file entry with a hardware ID per device, a third of them "
               "disabled; time per build after a first one, min–max over the builds.");

    DeleteFileW(textFile.c_str());
    RemoveDirectoryW(folder.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, root.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\AirvaneBenchSim");
    SetEnvironmentVariableW(L"AIRVANE_SIM_ROOT", nullptr);
}
