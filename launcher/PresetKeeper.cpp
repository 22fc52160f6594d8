#include "launcher/PresetKeeper.h"

#include "catalog/PresetInForce.h"
#include "catalog/PresetStore.h"
#include "foundation/CLocalPath.h"
#include "foundation/CcCheckDualExec.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "foundation/ProcessStart.h"
#include "launcher/LauncherGlobals.h"
#include "launcher/LauncherWindow.h"

#include <deque>
#include <string>

namespace {

// A burst of device changes (a device and its children coming) makes one re-apply.
constexpr UINT kDeviceChangeSettleMs = 1000;
// Device changes this long after a re-apply ended are taken as its own.
constexpr ULONGLONG kOwnChangesMs = 2000;

// A settings program while it runs: its process and the thread-pool wait that
// posts the run's message to the window when it ends.
class SettingsRun {
public:
    explicit SettingsRun(UINT endedMessage) : endedMessage_(endedMessage) {}
    ~SettingsRun() { Unregister(); }
    SettingsRun(const SettingsRun&) = delete;
    SettingsRun& operator=(const SettingsRun&) = delete;

    bool IsRunning() const { return process_.IsValid(); }

    bool Start(KernelHandle process, HWND window)
    {
        process_ = std::move(process);
        window_ = window;
        if (process_ && RegisterWaitForSingleObject(&wait_, process_.Get(), Ended, this, INFINITE,
                                                    WT_EXECUTEONLYONCE))
            return true;
        wait_ = nullptr;
        process_.Reset();
        return false;
    }

    // After the run's message: the exit code, and the run forgotten.
    DWORD Finish()
    {
        Unregister();
        DWORD exitCode = kReapplyUnchanged;
        if (!process_ || !GetExitCodeProcess(process_.Get(), &exitCode))
            exitCode = kReapplyUnchanged;
        process_.Reset();
        return exitCode;
    }

private:
    static void CALLBACK Ended(void* run, BOOLEAN)
    {
        const SettingsRun* ended = static_cast<const SettingsRun*>(run);
        PostMessageW(ended->window_, ended->endedMessage_, 0, 0);
    }

    // Waits for a callback under way, so that nothing is posted after this.
    void Unregister()
    {
        if (wait_)
            UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
        wait_ = nullptr;
    }

    const UINT endedMessage_;
    KernelHandle process_;
    HWND window_ = nullptr;
    HANDLE wait_ = nullptr;
};

// A rule's preset waiting for the run before it, and the balloon after it.
struct RuleApply {
    int presetIndex;
    std::wstring notice;
};

SettingsRun g_run(ReapplyEndedMsg);
SettingsRun g_chosenRun(ChosenRunEndedMsg); // the menu's or a key's settings program
ULONGLONG g_ownChangesUntil = 0;
std::deque<RuleApply> g_ruleApplies;
std::wstring g_runNotice; // the balloon of the rule whose preset runs; empty for a re-apply

// The device changes that a settings program's switches raise reach the launcher
// during the run and shortly after it: none of them is to trigger a re-apply.
void TakeChangesAsOwn(HWND window)
{
    g_ownChangesUntil = GetTickCount64() + kOwnChangesMs;
    KillTimer(window, kDeviceChangeTimerId);
}

bool SettingsProgramRuns()
{
    CcCheckDualExec settingsInstance;
    return settingsInstance.Check(kSettingsInstanceMutex) != CcCheckDualExec::kFirstInstance;
}

void StartQuietSettingsProgram(HWND window, int presetIndex, const std::wstring& notice = std::wstring())
{
    g_runNotice = notice;
    wchar_t folder[CLocalPath::kPathChars];
    if (!CLocalPath::MakeLocalPath(folder, L""))
        return;
    const std::wstring program = std::wstring(folder) + kSettingsProgramFile;
    const std::wstring arguments = L" /p" + std::to_wstring(presetIndex) + L" /Q";
    g_run.Start(StartWatchedProgram(program.c_str(), arguments.c_str(), folder), window);
}

} // namespace

void ReapplyPresetInForce(HWND window)
{
    if (g_run.IsRunning() || !KeepsPresetApplied())
        return;
    // A settings program that runs changes the presets or applies one: what the user does wins.
    if (SettingsProgramRuns())
        return;
    LoadPresets(Presets);
    const int index = FindPresetInForce(Presets);
    if (index < 0) {
        if (ReadPresetInForce().number >= 0)
            ForgetPresetInForce();
        return;
    }
    StartQuietSettingsProgram(window, index);
}

void OnDeviceTreeChanged(HWND window)
{
    if (g_run.IsRunning() || g_chosenRun.IsRunning() || GetTickCount64() < g_ownChangesUntil)
        return;
    // Each change restarts the wait.
    SetTimer(window, kDeviceChangeTimerId, kDeviceChangeSettleMs, nullptr);
}

void OnDeviceChangesSettled(HWND window)
{
    KillTimer(window, kDeviceChangeTimerId);
    ReapplyPresetInForce(window);
}

void OnReapplyEnded(HWND window)
{
    const DWORD exitCode = g_run.Finish();
    TakeChangesAsOwn(window);
    const CcString notice = TakeReapplyNotice();
    if (!g_runNotice.empty())
        ShowTrayNotice(Texts.tooltip, exitCode == kReapplyFailed && !notice.IsEmpty() ? notice.GetString() : g_runNotice.c_str());
    else if ((exitCode == kReapplyChanged || exitCode == kReapplyFailed) && !notice.IsEmpty())
        ShowTrayNotice(Texts.tooltip, notice);
    g_runNotice.clear();
    while (!g_run.IsRunning() && !g_ruleApplies.empty()) {
        const RuleApply next = g_ruleApplies.front();
        g_ruleApplies.pop_front();
        StartQuietSettingsProgram(window, next.presetIndex, next.notice);
    }
}

void WatchChosenSettingsProgram(HWND window, KernelHandle process)
{
    if (!process)
        return;
    // A settled change would find the program running and re-apply nothing: what the user chose wins.
    KillTimer(window, kDeviceChangeTimerId);
    if (!g_chosenRun.IsRunning())
        g_chosenRun.Start(std::move(process), window);
}

void OnChosenRunEnded(HWND window)
{
    g_chosenRun.Finish();
    TakeChangesAsOwn(window);
}

void ApplyRulePreset(HWND window, int presetIndex, const wchar_t* notice)
{
    if (g_run.IsRunning()) {
        g_ruleApplies.push_back({presetIndex, notice});
        return;
    }
    StartQuietSettingsProgram(window, presetIndex, notice);
}
