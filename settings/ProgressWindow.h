#pragma once

// How the settings program shows a preset being applied: the progress notice,
// borderless dialog 107 on a thread of its own, so that it is drawn while the
// thread that applies the preset is blocked in the switching work; and one
// warning box per device that could not be switched.
//
//   RegisterSwitchDoneMsg();        // process initialisation, after PresetsChangedMsg
//   CPresetProgress progress(owner, textMgr);
//   ApplyPreset(presets, index, &catalog, progress);

#include "catalog/PresetApply.h"
#include "settings/RestartNotice.h"

#include <windows.h>

class CTextMgr;

// The registered message that closes the notice, sent with wParam and lParam 0.
// Zero until RegisterSwitchDoneMsg has run.
extern UINT SwitchDoneMsg;

// Registers SwitchDoneMsg and returns its number. The program calls it during
// process initialisation, before any thread starts and right after it has
// registered PresetsChangedMsg, so that both are registered in that order.
UINT RegisterSwitchDoneMsg();

// Reads the notice's two texts from texts (the text manager on "TALOTXT.ini",
// section "TALOGUI"; null gives empty texts) on the calling thread and starts
// the thread that shows the notice; returns at once. The notice has no owner.
// If the thread cannot be started, no notice is shown.
void StartProgress(const CTextMgr* texts);

// Asks the notice to close by posting SwitchDoneMsg to it. A notice still being
// created is waited for (five seconds at most), so it closes too; without a
// notice nothing is posted.
void CloseProgress();

// The settings program's progress of a preset: the notice from start to end, a
// warning box per failing device, and at the end one box naming the devices that
// need a restart, owned by owner (null on the command line). The boxes are
// modal, so the next device is switched once the user has closed the warning.
// texts is the text manager on "TALOTXT.ini", section "TALOGUI" (null: empty
// texts); it must outlive the object.
class CPresetProgress final : public IPresetProgress {
public:
    CPresetProgress(HWND owner, const CTextMgr* texts) : owner_(owner), texts_(texts) {}

    void Started() override { StartProgress(texts_); }
    void DeviceDone(const wchar_t* deviceName, bool on, DeviceOutcome outcome) override;
    void Finished() override;

private:
    void DeviceFailed(const wchar_t* deviceName, bool on);

    HWND owner_;
    const CTextMgr* texts_;
    CRestartNotice restart_;
};
