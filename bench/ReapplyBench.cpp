// Figure 8: the launcher's automatic re-apply of the preset in force when nothing
// differs, the common case after a resume. From the trigger (WM_POWERBROADCAST with
// PBT_APMRESUMEAUTOMATIC posted to the running launcher, as Windows sends it) to
// the end of the quiet settings program it starts, against the settings program's
// cheapest run, STATUS=WLAN /Q, measured alternately in the same run.
#include "automation/RegistrySnapshot.h"
#include "bench/BenchClock.h"
#include "bench/BenchFigures.h"
#include "bench/BenchPresets.h"
#include "bench/BenchPrograms.h"
#include "catalog/PresetInForce.h"
#include "foundation/Names.h"

#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kRunTimeoutMs = 30000;
// The launcher starts the settings program within milliseconds of the trigger.
constexpr DWORD kChildTimeoutMs = 5000;
constexpr int kWarmUps = 2;
constexpr wchar_t kDemoWlanHwId[] = L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01";
constexpr wchar_t kDemoModemRoot[] = L"USB\\VID_1E0E&PID_9001";

// The settings program that the launcher started, other than the previous one;
// polled about every millisecond until timeoutMs. Opened for waiting, or null.
KernelHandle WaitForSettingsChild(DWORD launcherId, DWORD& childId, DWORD timeoutMs)
{
    const Stopwatch clock;
    while (clock.Microseconds() < timeoutMs * 1000.0) {
        const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = snapshot && Process32FirstW(snapshot.Get(), &entry); more;
             more = Process32NextW(snapshot.Get(), &entry)) {
            if (entry.th32ParentProcessID != launcherId || entry.th32ProcessID == childId ||
                lstrcmpiW(entry.szExeFile, kSettingsProgramFile) != 0)
                continue;
            KernelHandle child(
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
            if (child) {
                childId = entry.th32ProcessID;
                return child;
            }
        }
        Sleep(1);
    }
    return KernelHandle();
}

// Waits for the re-apply that the launcher runs (started at or after the clock's
// start): µs from the clock's start to its end, or negative. Its exit code in *exitCode.
double TimeReapply(const Stopwatch& clock, DWORD launcherId, DWORD& childId, DWORD* exitCode)
{
    const KernelHandle child = WaitForSettingsChild(launcherId, childId, kChildTimeoutMs);
    if (!child || WaitForSingleObject(child.Get(), kRunTimeoutMs) != WAIT_OBJECT_0)
        return -1;
    const double time = clock.Microseconds();
    GetExitCodeProcess(child.Get(), exitCode);
    return time;
}

} // namespace

void RunReapplyFigure(const BenchPlan& plan, BenchTable& table)
{
    // The preset in force, the keep-applied choice and the presets are the user's: put back at the end.
    const RegistrySnapshot product(HKEY_CURRENT_USER, kProductKey);
    SetKeepsPresetApplied(true);
    // The demo notebook's radios, all on as seeded: a preset in force that nothing has undone.
    const std::vector<BenchPresetDevice> devices = {
        {L"802.11n Wireless LAN Adapter", kNetworkCardClass, kDemoWlanHwId, true},
        {L"UMTS modem", kUmtsClassMarker, kDemoModemRoot, true},
        {L"Bluetooth", kBluetoothClassMarker, kBluetoothClassMarker, true}};
    DWORD exitCode = 0;
    if (!WriteBenchPreset(0, L"Bench kept", devices) ||
        TimeRun(SimProgram(kSettingsProgramFile), L"/p0 /Q", kRunTimeoutMs, &exitCode) < 0 ||
        ReadPresetInForce().number != 0) {
        table.Note("8: the preset could not be written or applied.");
        return;
    }

    // The launcher re-applies the preset at its start: the first warm-up.
    StartedProgram launcher(SimProgram(kLauncherProgramFile), L"");
    DWORD childId = 0;
    Stopwatch clock;
    const bool started = TimeReapply(clock, launcher.Id(), childId, &exitCode) >= 0;
    HWND window = FindProcessWindow(launcher.Id(), kLauncherWindowClass);
    if (!started || !window) {
        table.Note("8: the launcher did not start, or did not re-apply the preset at its start.");
        return;
    }

    Samples reapply, status;
    int changed = 0;
    bool ran = true;
    for (int i = -kWarmUps; i < plan.processRuns() && ran; ++i) {
        // The floor also gives the launcher time to take the end of the last re-apply.
        const double floor = TimeRun(SimProgram(kSettingsProgramFile), L"STATUS=WLAN /Q", kRunTimeoutMs);
        clock.Restart();
        PostMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        exitCode = kReapplyUnchanged;
        const double time = TimeReapply(clock, launcher.Id(), childId, &exitCode);
        ran = floor >= 0 && time >= 0;
        if (exitCode != kReapplyUnchanged)
            ++changed;
        if (i >= 0 && ran) {
            status.Add(floor);
            reapply.Add(time);
        }
    }
    PostMessageW(window, WM_DESTROY, 0, 0);
    launcher.Wait(kRunTimeoutMs);
    if (!ran)
        table.Note("8: the launcher started no settings program after a resume, or a run did not end in time.");
    if (changed)
        table.Note("8: " + std::to_string(changed) + " re-applies reported a device switched or failed.");

    BenchRow row = FloorRow("8  re-apply on resume, nothing differs", reapply);
    row.goal = "≤ 1.2 ×";
    if (reapply.Empty() || status.Empty()) {
        row.verdict = BenchRow::Goal::Unknown;
    } else {
        row.floor = Duration(status.Median());
        row.ratio = reapply.Median() / status.Median();
        row.verdict = AtMost(row.ratio, 1.2);
    }
    table.Add(row);
    table.Add(FloorRow("   floor: TALOSetting STATUS=WLAN /Q", status));
    table.Note("8: the demo notebook, a preset in force of its WLAN adapter, UMTS modem and Bluetooth radio, all "
               "on already; WM_POWERBROADCAST (PBT_APMRESUMEAUTOMATIC) posted to the running launcher, timed until "
               "the settings program it starts (/p0 /Q) has ended, found as the launcher's child by polling the "
               "process list every millisecond or so. The floor runs before each.");
}
