#pragma once

#include "catalog/PresetApply.h"

#include <string>

class ConsoleStream;
class ConsoleTexts;

// Exit codes of airvane.exe.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;          // a device could not be switched, or a settings program runs
constexpr int kExitBadUse = 2;          // the usage went to standard error
constexpr int kExitNotFound = 4;        // no such preset, or a type without devices
constexpr int kExitRestartNeeded = 3010; // switched; takes effect after a restart (ERROR_SUCCESS_REBOOT_REQUIRED)

// How switching one device went.
enum class SwitchOutcome { Switched, SwitchedAfterRestart, Failed };

// The console's name for the outcome that preset application reports.
constexpr SwitchOutcome ConsoleOutcome(DeviceOutcome outcome)
{
    return outcome == DeviceOutcome::Failed          ? SwitchOutcome::Failed
           : outcome == DeviceOutcome::RestartNeeded ? SwitchOutcome::SwitchedAfterRestart
                                                     : SwitchOutcome::Switched;
}

// The exit code of a run with these counts: a failure outweighs a restart.
int SwitchExitCode(int failed, int restartNeeded);

// The console's progress of a preset or of device types: one line per device
// and its outcome on standard error, where the settings program shows its
// notice and warning boxes; and the counts that make the exit code.
class ConsoleProgress final : public IPresetProgress {
public:
    ConsoleProgress(const ConsoleTexts& texts, const ConsoleStream& lines) : texts_(texts), lines_(lines) {}

    void Started() override {}
    void DeviceDone(const wchar_t* deviceName, bool on, DeviceOutcome outcome) override
    {
        Report(deviceName, on, ConsoleOutcome(outcome));
    }
    void Finished() override {}

    void Report(const std::wstring& deviceName, bool on, SwitchOutcome outcome);

    int ExitCode() const { return SwitchExitCode(failed_, restartNeeded_); }

private:
    const ConsoleTexts& texts_;
    const ConsoleStream& lines_;
    int failed_ = 0;
    int restartNeeded_ = 0;
};
