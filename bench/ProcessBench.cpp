// Figures 2, 3 and 6: whole processes of the settings program and the launcher,
// each run alternating with its floor, a program that does the same work for the
// platform with none of ours, and with a trivial program's start for reference,
// so that all see the same warm wineserver and the same load.
#include "bench/BenchClock.h"
#include "bench/BenchFigures.h"
#include "bench/BenchMachine.h"
#include "bench/BenchPrograms.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"
#include "sim/SimNotebook.h"

#include <shellapi.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kRunTimeoutMs = 30000;
constexpr int kWarmUps = 2;
constexpr wchar_t kDemoWlanHwId[] = L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01";
constexpr wchar_t kDemoWlanName[] = L"802.11n Wireless LAN Adapter";
constexpr int kPresetDevices = 10;
constexpr wchar_t kIdleWindowClass[] = L"AirvaneBench.IdleWindow";

std::wstring TrivialProgram()
{
    return BenchProgram(L"BenchTrivial.exe");
}

// Runs the figure (a time in µs, negative on failure) alternately with the
// trivial program; false at the first failure.
bool TimeAlternating(int runs, Samples& trivial, Samples& figure, const std::function<double(int)>& runFigure)
{
    for (int i = -kWarmUps; i < runs; ++i) {
        const double floor = TimeRun(TrivialProgram(), L"", kRunTimeoutMs);
        const double time = runFigure(i);
        if (floor < 0 || time < 0)
            return false;
        if (i >= 0) {
            trivial.Add(floor);
            figure.Add(time);
        }
    }
    return true;
}

BenchRow ProcessRow(const std::string& figure, const Samples& samples, double floor, const std::string& floorText,
                    double limit)
{
    BenchRow row;
    row.figure = figure;
    row.goal = "≤ " + Number(limit, 1) + " ×";
    if (samples.Empty() || floor <= 0) {
        row.verdict = BenchRow::Goal::Unknown;
        return row;
    }
    row.median = Duration(samples.Median());
    row.spread = "p90 " + Duration(samples.Percentile(90));
    row.floor = floorText.empty() ? Duration(floor) : floorText;
    row.ratio = samples.Median() / floor;
    row.verdict = AtMost(row.ratio, limit);
    return row;
}

BenchRow TrivialRow(const Samples& trivial)
{
    BenchRow row;
    row.figure = "   reference: trivial program start";
    if (!trivial.Empty()) {
        row.median = Duration(trivial.Median());
        row.spread = "p90 " + Duration(trivial.Percentile(90));
    }
    return row;
}

bool IconAdded(HWND window)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = 0; // the program's one icon
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// From before the program's creation until its window's tray icon exists, in µs,
// or negative; the program is then told to end as the launcher's end switch does.
double TimeToTrayIcon(const std::wstring& path, const wchar_t* arguments, const wchar_t* className)
{
    const Stopwatch clock;
    StartedProgram program(path, arguments);
    HWND window = nullptr;
    while (program.Started() && clock.Microseconds() < kRunTimeoutMs * 1000.0) {
        if (!window)
            window = FindProcessWindow(program.Id(), className);
        if (window && IconAdded(window))
            break;
        Sleep(1);
    }
    const double time = clock.Microseconds();
    if (!window)
        return -1.0;
    PostMessageW(window, WM_DESTROY, 0, 0);
    return program.Wait(kRunTimeoutMs) && time < kRunTimeoutMs * 1000.0 ? time : -1.0;
}

// The preset of the adapters, all on or all off.
bool WritePreset(int index, const wchar_t* name, const std::vector<std::wstring>& hwIds,
                 const std::vector<std::wstring>& names, int setting)
{
    CcRegistry key;
    const std::wstring path = std::wstring(kProductKey) + L"\\" + kSettingSubKey + L"\\Preset" + std::to_wstring(index);
    if (!key.CreateKey(path.c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS))
        return false;
    bool written = key.SetValue(kPresetNameValue, name, REG_SZ, 0) != 0;
    for (size_t k = 0; k < hwIds.size(); ++k) {
        const std::wstring n = std::to_wstring(k);
        written = written && key.SetValue((n + L"_DeviceName").c_str(), names[k].c_str(), REG_SZ, 0) &&
                  key.SetValue((n + L"_Class").c_str(), kNetworkCardClass, REG_SZ, 0) &&
                  key.SetValue((n + L"_HwId").c_str(), hwIds[k].c_str(), REG_SZ, 0) &&
                  key.SetDWord((n + L"_Setting").c_str(), static_cast<DWORD>(setting)) &&
                  key.SetValue((n + L"_DisplayName").c_str(), L"", REG_SZ, 0);
    }
    return written;
}

DWORD RegisteredDevices()
{
    CcRegistry list;
    list.OpenKey(kDeviceListKey, HKEY_LOCAL_MACHINE, KEY_READ);
    return list.GetDWord(kDeviceNumValue, 0, 0);
}

// How many of the notebook's Net devices with these hardware IDs are disabled.
int DisabledCount(const std::vector<std::wstring>& hwIds)
{
    int disabled = 0;
    for (const SimDevice& device : CSimNotebook().Devices()) {
        for (const std::wstring& hwId : hwIds) {
            if (!device.hardwareIds.empty() && device.hardwareIds[0] == hwId && device.Disabled())
                ++disabled;
        }
    }
    return disabled;
}

} // namespace

BenchRow FloorRow(const char* figure, const Samples& samples)
{
    BenchRow row;
    row.figure = figure;
    if (!samples.Empty()) {
        row.median = Duration(samples.Median());
        row.spread = "p90 " + Duration(samples.Percentile(90));
    }
    return row;
}

void RunStatusFigure(const BenchPlan& plan, BenchFloors& floors, BenchTable& table)
{
    Samples trivial, status, imports, console;
    DWORD wrongExit = 0;
    const bool ran = TimeAlternating(plan.processRuns(), trivial, status, [&](int i) {
        const double importsTime = TimeRun(BenchProgram(L"BenchImports.exe"), L"", kRunTimeoutMs);
        if (i >= 0 && importsTime >= 0)
            imports.Add(importsTime);
        // The console command reports every type, the other one type: same run, same machine.
        const double consoleTime = TimeRun(SimProgram(L"airvane.exe"), L"status --json", kRunTimeoutMs);
        if (i >= 0 && consoleTime >= 0)
            console.Add(consoleTime);
        DWORD exitCode = 0;
        const double time = TimeRun(SimProgram(kSettingsProgramFile), L"STATUS=WLAN /Q", kRunTimeoutMs, &exitCode);
        if (exitCode != 1)
            wrongExit = exitCode;
        return time;
    });
    if (!ran)
        table.Note("2: a run of TALOSetting.exe STATUS=WLAN /Q or of the trivial program did not end in time.");
    if (wrongExit)
        table.Note("2: STATUS=WLAN answered " + std::to_string(wrongExit) + ", not 1 (enabled).");
    floors.trivialStart = trivial.Empty() ? 0 : trivial.Median();
    const double floor = imports.Empty() ? 0 : imports.Median();
    table.Add(ProcessRow("2  TALOSetting STATUS=WLAN /Q", status, floor, "", 1.2));
    table.Add(FloorRow("   floor: do-nothing program, same libraries", imports));
    table.Add(ProcessRow("2  airvane status --json", console, status.Empty() ? 0 : status.Median(), "", 1.2));
    table.Add(FloorRow("   floor: TALOSetting STATUS=WLAN /Q", status));
    table.Add(TrivialRow(trivial));
    table.Note("2: the floor is a program that does nothing with the settings program's system libraries and "
               "manifest: what Wine's start of those costs before any code of ours runs.");
}

void RunTrayStartFigure(const BenchPlan& plan, const BenchFloors&, BenchTable& table)
{
    Samples trivial, start, iconProgram;
    const bool ran = TimeAlternating(plan.processRuns(), trivial, start, [&](int i) {
        const double iconTime = TimeToTrayIcon(BenchProgram(L"BenchIdleWindow.exe"), L"icon", kIdleWindowClass);
        if (i >= 0 && iconTime >= 0)
            iconProgram.Add(iconTime);
        return TimeToTrayIcon(SimProgram(kLauncherProgramFile), L"", kLauncherWindowClass);
    });
    if (!ran)
        table.Note("6: the launcher's icon did not appear in time, or the launcher did not end.");
    const double floor = iconProgram.Empty() ? 0 : iconProgram.Median();
    table.Add(ProcessRow("6  TALOLauncher start to tray icon", start, floor, "", 1.1));
    table.Add(FloorRow("   floor: empty window program to its icon", iconProgram));
    table.Add(TrivialRow(trivial));
    table.Note("6: the icon counts as added once the tray accepts a change to it (NIM_MODIFY), polled every "
               "millisecond or so. The floor is a program with the launcher's system libraries, manifest and "
               "icon, one hidden window and one tray icon: Wine's own cost of a tray program's start (window "
               "system, display connection, theme, tray).");
}

void RunPresetFigure(const BenchPlan& plan, const BenchFloors&, BenchTable& table, BenchMachine& machine)
{
    std::vector<std::wstring> hwIds = {kDemoWlanHwId};
    std::vector<std::wstring> names = {kDemoWlanName};
    for (int i = 1; i < kPresetDevices; ++i) {
        wchar_t hwId[64];
        wsprintfW(hwId, L"PCI\\VEN_BEAC&DEV_%04d&SUBSYS_00000000&REV_01", i);
        hwIds.push_back(hwId);
        names.push_back(L"Bench Wireless Adapter " + std::to_wstring(i));
        if (!machine.AddWlanAdapter(i, hwIds.back(), names.back())) {
            table.Note("3: the simulated adapters could not be added.");
            return;
        }
    }
    // A status query registers the new adapters with the service, as the programs do.
    DWORD exitCode = 0;
    TimeRun(SimProgram(kSettingsProgramFile), L"STATUS=WLAN /Q", kRunTimeoutMs, &exitCode);
    if (RegisteredDevices() != static_cast<DWORD>(kPresetDevices) || !WritePreset(0, L"Bench on", hwIds, names, 1) ||
        !WritePreset(1, L"Bench off", hwIds, names, 0)) {
        table.Note("3: the adapters were not registered, or the presets could not be written.");
        return;
    }

    std::wstring floorArguments = std::wstring(L" ") + kNetworkCardClass;
    for (const std::wstring& hwId : hwIds)
        floorArguments += L" " + hwId;
    Samples trivial, preset, bare;
    int notSwitched = 0;
    int floorFailed = 0;
    const bool ran = TimeAlternating(plan.processRuns(), trivial, preset, [&](int i) {
        // Off and on by turns, ending on: the floor switches all ten the other way first, so
        // that both switch every device on every run.
        const bool on = (plan.processRuns() - i) % 2 == 1;
        DWORD floorExit = 0;
        const double floorTime = TimeRun(BenchProgram(L"BenchNoticeRequests.exe"),
                                         (on ? L"off" : L"on") + floorArguments, kRunTimeoutMs, &floorExit);
        if (floorTime < 0 || floorExit != 0)
            ++floorFailed;
        else if (i >= 0)
            bare.Add(floorTime);
        const double time = TimeRun(SimProgram(kSettingsProgramFile), on ? L"/p0" : L"/p1", kRunTimeoutMs);
        if (DisabledCount(hwIds) != (on ? 0 : kPresetDevices))
            ++notSwitched;
        return time;
    });
    if (!ran)
        table.Note("3: a run of TALOSetting.exe /p did not end in time (a warning box?).");
    if (notSwitched)
        table.Note("3: " + std::to_string(notSwitched) + " runs left the adapters in another state than the preset's.");
    if (floorFailed)
        table.Note("3: " + std::to_string(floorFailed) + " runs of the floor had a request refused or unanswered.");
    const double floor = bare.Empty() ? 0 : bare.Median();
    table.Add(ProcessRow("3  TALOSetting /p, preset of 10 devices", preset, floor, "", 1.2));
    table.Add(FloorRow("   floor: the same notice and ten bare requests", bare));
    table.Add(TrivialRow(trivial));
    table.Note("3: ten WLAN adapters (the demo's and nine more), switched off and on by turns, one request each. "
               "The floor, run before each, switches them the other way: a program with the settings program's "
               "libraries and manifest that shows the same notice on a thread of its own and sends the same ten "
               "requests to the service with the protocol's bare steps (no transaction lock, no checks).");
}
