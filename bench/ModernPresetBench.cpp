// Figure 7: /p on a notebook of today, whose switches take the time real devices
// take, with a preset of five devices of which two change on every run. The floor
// is a program start that shows a notice plus the latencies of those two devices:
// what the preset costs with no call of the class installer for the other three.
#include "bench/BenchClock.h"
#include "bench/BenchFigures.h"
#include "bench/BenchPresets.h"
#include "bench/BenchPrograms.h"
#include "foundation/Names.h"
#include "sim/SimNotebook.h"

#include <string>
#include <vector>

namespace {

constexpr DWORD kRunTimeoutMs = 60000;
constexpr int kWarmUps = 1;
// The modern notebook's WLAN adapter and Bluetooth radio: the two that change.
constexpr DWORD kWlan = 1;
constexpr DWORD kRadio = 6;
constexpr wchar_t kWlanHwId[] = L"PCI\\VEN_8086&DEV_A0F0&SUBSYS_00748086&REV_20";
constexpr wchar_t kWlanName[] = L"Wi-Fi 6 Wireless Network Adapter";

// A device of the two presets: those that change are off in the one and on in the
// other; the rest stay on.
struct PresetDevice {
    std::wstring name;
    std::wstring className;
    std::wstring hwId;
    bool changes;
};

bool WritePreset(int index, const std::vector<PresetDevice>& devices, bool on)
{
    std::vector<BenchPresetDevice> records;
    for (const PresetDevice& device : devices)
        records.push_back({device.name, device.className, device.hwId, on || !device.changes});
    return WriteBenchPreset(index, on ? L"Modern on" : L"Modern off", records);
}

// Two more WLAN adapters beside the notebook's own, which stay on.
bool AddAdapters(CSimNotebook& notebook, std::vector<PresetDevice>& devices)
{
    for (int i = 1; i <= 2; ++i) {
        const std::wstring hwId = L"PCI\\VEN_BEAD&DEV_000" + std::to_wstring(i) + L"&SUBSYS_00000000&REV_01";
        const std::wstring name = L"Bench Wi-Fi Adapter " + std::to_wstring(i);
        const std::wstring service = L"{modern-bench-" + std::to_wstring(i) + L"}";
        SimDevice device;
        device.className = kNetworkCardClass;
        device.enumerator = L"PCI";
        device.hardwareIds = {hwId};
        device.description = name;
        device.latencyMs = 400;
        const DWORD added = notebook.AddDevice(device);
        if (!added || !notebook.AddNetworkCard(std::to_wstring(20 + i), name, service) ||
            !notebook.AddWlanInterface({name, added}) || !notebook.AddNdisAdapter({service, true, added}))
            return false;
        devices.push_back({name, kNetworkCardClass, hwId, false});
    }
    return true;
}

DWORD Latency(const CSimNotebook& notebook, DWORD number)
{
    SimDevice device;
    return notebook.ReadDevice(number, device) ? device.latencyMs : 0;
}

bool IsOff(const CSimNotebook& notebook, DWORD number)
{
    SimDevice device;
    return notebook.ReadDevice(number, device) && device.Disabled();
}

} // namespace

void RunModernPresetFigure(const BenchPlan& plan, BenchTable& table)
{
    CSimNotebook notebook;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceListKey); // the demo's adapters are gone
    std::vector<PresetDevice> devices = {{kWlanName, kNetworkCardClass, kWlanHwId, true},
                                         {L"UMTS modem", kUmtsClassMarker, L"", false},
                                         {L"Bluetooth", L"Bluetooth", L"USB\\", true}};
    if (!SeedModernNotebook(notebook) || !AddAdapters(notebook, devices)) {
        table.Note("7: the modern notebook could not be seeded.");
        return;
    }
    // A status query registers the adapters with the service, as the programs do.
    TimeRun(SimProgram(kSettingsProgramFile), L"STATUS=WLAN /Q", kRunTimeoutMs);
    if (!WritePreset(0, devices, true) || !WritePreset(1, devices, false)) {
        table.Note("7: the presets could not be written.");
        return;
    }
    const double latencies = 1000.0 * (Latency(notebook, kWlan) + Latency(notebook, kRadio));

    Samples notice, preset;
    int wrong = 0;
    bool ran = true;
    for (int i = -kWarmUps; i < plan.processRuns() && ran; ++i) {
        // Off and on by turns: every run switches the adapter and the radio, and only them.
        const bool on = (plan.processRuns() - i) % 2 == 1;
        const double floor = TimeRun(BenchProgram(L"BenchNotice.exe"), L"", kRunTimeoutMs);
        const double time = TimeRun(SimProgram(kSettingsProgramFile), on ? L"/p0" : L"/p1", kRunTimeoutMs);
        ran = floor >= 0 && time >= 0;
        if (IsOff(notebook, kWlan) == on || IsOff(notebook, kRadio) == on)
            ++wrong;
        if (i >= 0 && ran) {
            notice.Add(floor);
            preset.Add(time);
        }
    }
    if (!ran)
        table.Note("7: a run of TALOSetting.exe /p or of the notice program did not end in time.");
    if (wrong)
        table.Note("7: " + std::to_string(wrong) + " runs left the adapter or the radio in another state.");

    BenchRow row;
    row.figure = "7  TALOSetting /p, modern notebook, 2 of 5 change";
    row.goal = "≤ 1.1 ×";
    const double floor = notice.Empty() ? 0 : notice.Median() + latencies;
    if (preset.Empty() || floor <= 0) {
        row.verdict = BenchRow::Goal::Unknown;
    } else {
        row.median = Duration(preset.Median());
        row.spread = "p90 " + Duration(preset.Percentile(90));
        row.floor = Duration(floor) + " (notice + latencies)";
        row.ratio = preset.Median() / floor;
        row.verdict = AtMost(row.ratio, 1.1);
    }
    table.Add(row);
    BenchRow noticeRow;
    noticeRow.figure = "   floor: program start showing a notice";
    if (!notice.Empty()) {
        noticeRow.median = Duration(notice.Median());
        noticeRow.spread = "p90 " + Duration(notice.Percentile(90));
    }
    table.Add(noticeRow);
    table.Note("7: AirvaneSim seed modern with two more WLAN adapters; a preset of the WLAN adapter, the two "
               "others, the UMTS modem and the Bluetooth radio, of which the first adapter (" +
               std::to_string(Latency(notebook, kWlan)) + " ms) and the radio (" +
               std::to_string(Latency(notebook, kRadio)) +
               " ms) change on every run; the three others are in the preset's state already.");
}
