#include "console/ConsoleProgress.h"

#include "console/ConsoleOutput.h"
#include "console/ConsoleTexts.h"

int SwitchExitCode(int failed, int restartNeeded)
{
    if (failed > 0)
        return kExitFailed;
    return restartNeeded > 0 ? kExitRestartNeeded : kExitDone;
}

void ConsoleProgress::Report(const std::wstring& deviceName, bool on, SwitchOutcome outcome)
{
    const wchar_t* key = L"";
    switch (outcome) {
    case SwitchOutcome::Switched:
        key = on ? L"SWITCHED_ON" : L"SWITCHED_OFF";
        break;
    case SwitchOutcome::SwitchedAfterRestart:
        key = on ? L"SWITCHED_ON_RESTART" : L"SWITCHED_OFF_RESTART";
        ++restartNeeded_;
        break;
    case SwitchOutcome::Failed:
        key = on ? L"FAILED_ON" : L"FAILED_OFF";
        ++failed_;
        break;
    }
    lines_.Line(texts_.Get(key, {deviceName}));
}
