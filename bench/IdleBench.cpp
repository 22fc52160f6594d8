// Figure 5: the launcher idle with its icon, beside an empty program with one
// hidden window and a message loop, both started together and watched alike.
#include "bench/BenchClock.h"
#include "bench/BenchFigures.h"
#include "bench/BenchPrograms.h"
#include "foundation/Names.h"

#include <psapi.h>
#include <shellapi.h>

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr wchar_t kIdleWindowClass[] = L"AirvaneBench.IdleWindow";

struct IdleFigures {
    double cpuMs = -1;
    double privateBytes = 0;
    double workingSet = 0;
};

bool IconAdded(HWND window)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

HWND AwaitWindow(const StartedProgram& program, const wchar_t* className, bool withIcon)
{
    const Stopwatch clock;
    while (program.Started() && clock.Microseconds() < kStartTimeoutMs * 1000.0) {
        const HWND window = FindProcessWindow(program.Id(), className);
        if (window && (!withIcon || IconAdded(window)))
            return window;
        Sleep(10);
    }
    return nullptr;
}

void ReadMemory(HANDLE process, IdleFigures& figures)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
        // Windows reports the commit charge in both; Wine fills only PagefileUsage.
        figures.privateBytes = static_cast<double>(counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage);
        figures.workingSet = static_cast<double>(counters.WorkingSetSize);
    }
}

} // namespace

void RunIdleFigure(const BenchPlan& plan, BenchTable& table)
{
    StartedProgram launcher(SimProgram(kLauncherProgramFile), L"");
    StartedProgram empty(BenchProgram(L"BenchIdleWindow.exe"), L"");
    const HWND launcherWindow = AwaitWindow(launcher, kLauncherWindowClass, true);
    const HWND emptyWindow = AwaitWindow(empty, kIdleWindowClass, false);
    IdleFigures idle, floor;
    if (launcherWindow && emptyWindow) {
        Sleep(1000); // the start-up is over
        const double launcherBefore = CpuMilliseconds(launcher.Process());
        const double emptyBefore = CpuMilliseconds(empty.Process());
        Sleep(static_cast<DWORD>(plan.idleSeconds()) * 1000);
        idle.cpuMs = CpuMilliseconds(launcher.Process()) - launcherBefore;
        floor.cpuMs = CpuMilliseconds(empty.Process()) - emptyBefore;
        ReadMemory(launcher.Process(), idle);
        ReadMemory(empty.Process(), floor);
    } else {
        table.Note("5: the launcher's icon or the empty program's window did not appear.");
    }
    if (launcherWindow)
        PostMessageW(launcherWindow, WM_DESTROY, 0, 0);
    if (emptyWindow)
        PostMessageW(emptyWindow, WM_CLOSE, 0, 0);
    launcher.Wait(kStartTimeoutMs);
    empty.Wait(kStartTimeoutMs);

    const std::string seconds = std::to_string(plan.idleSeconds()) + " s";
    BenchRow cpu;
    cpu.figure = "5  TALOLauncher idle " + seconds + ": processor time";
    cpu.goal = "0 ms";
    if (idle.cpuMs >= 0) {
        cpu.median = Number(idle.cpuMs, 0) + " ms";
        cpu.floor = Number(floor.cpuMs, 0) + " ms";
        cpu.verdict = idle.cpuMs == 0 ? BenchRow::Goal::Met : BenchRow::Goal::NotMet;
    } else {
        cpu.verdict = BenchRow::Goal::Unknown;
    }
    table.Add(cpu);

    BenchRow memory;
    memory.figure = "5  TALOLauncher idle: private bytes";
    memory.goal = "≤ 1.2 ×";
    if (idle.privateBytes > 0 && floor.privateBytes > 0) {
        memory.median = Kilobytes(idle.privateBytes);
        memory.spread = "working set " + Kilobytes(idle.workingSet);
        memory.floor = Kilobytes(floor.privateBytes);
        memory.ratio = idle.privateBytes / floor.privateBytes;
        memory.verdict = AtMost(memory.ratio, 1.2);
    } else {
        memory.verdict = BenchRow::Goal::Unknown;
    }
    table.Add(memory);
    BenchRow emptyRow;
    emptyRow.figure = "   floor: empty program, hidden window";
    if (floor.privateBytes > 0) {
        emptyRow.median = Kilobytes(floor.privateBytes);
        emptyRow.spread = "working set " + Kilobytes(floor.workingSet);
    }
    table.Add(emptyRow);
    table.Note("5: one measurement over " + seconds +
               ", processor time by GetProcessTimes, memory by GetProcessMemoryInfo at the end (private "
               "bytes: Wine reports the process's anonymous resident memory as PagefileUsage).");
}
