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

#include <string>

namespace {

// A burst of device changes (a device and its children coming) makes one re-apply.
constexpr UINT kDeviceChangeSettleMs = 1000;
// Device changes this long after a re-apply ended are taken as its own.
constexpr ULONGLONG kOwnChangesMs = 2000;

// The quiet settings program while it runs: its process and the thread-pool wait
// that posts ReapplyEndedMsg to the window when it ends.
class ReapplyRun {
public:
    ReapplyRun() = default;
    ~ReapplyRun() { Unregister(); }
    ReapplyRun(const ReapplyRun&) = delete;
    ReapplyRun& operator=(const ReapplyRun&) = delete;

    bool IsRunning() const { return process_.IsValid(); }

    bool Start(KernelHandle process, HWND window)
    {
        process_ = std::move(process);
        if (process_ && RegisterWaitForSingleObject(&wait_, process_.Get(), Ended, window, INFINITE,
                                                    WT_EXECUTEONLYONCE))
            return true;
        wait_ = nullptr;
        process_.Reset();
        return false;
    }

    // After ReapplyEndedMsg: the exit code, and the run forgotten.
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
    static void CALLBACK Ended(void* window, BOOLEAN)
    {
        PostMessageW(static_cast<HWND>(window), ReapplyEndedMsg, 0, 0);
    }

    // Waits for a callback under way, so that nothing is posted after this.
    void Unregister()
    {
        if (wait_)
            UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
        wait_ = nullptr;
    }

    KernelHandle process_;
    HANDLE wait_ = nullptr;
};

ReapplyRun g_run;
ULONGLONG g_ownChangesUntil = 0;

bool SettingsProgramRuns()
{
    CcCheckDualExec settingsInstance;
    return settingsInstance.Check(kSettingsInstanceMutex) != CcCheckDualExec::kFirstInstance;
}

void StartQuietSettingsProgram(HWND window, int presetIndex)
{
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
    if (g_run.IsRunning() || GetTickCount64() < g_ownChangesUntil)
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
    g_ownChangesUntil = GetTickCount64() + kOwnChangesMs;
    // The switches that the re-apply made raise device changes of their own.
    KillTimer(window, kDeviceChangeTimerId);
    const CcString notice = TakeReapplyNotice();
    if ((exitCode == kReapplyChanged || exitCode == kReapplyFailed) && !notice.IsEmpty())
        ShowTrayNotice(Texts.tooltip, notice);
}
