#pragma once

// The notice shown while a preset is applied: borderless dialog 107 on a thread
// of its own, so that it is drawn while the thread that applies the preset is
// blocked in the switching work.
//
//   RegisterSwitchDoneMsg();        // process initialisation, after PresetsChangedMsg
//   SetProgressTextMgr(textMgr);    // once the program's text manager exists
//   StartProgress(owner);           // first step of applying a preset
//   ...                             // switch the devices
//   CloseProgress();                // last step

#include <windows.h>

class CTextMgr;

// The registered message that closes the notice, sent with wParam and lParam 0.
// Zero until RegisterSwitchDoneMsg has run.
extern UINT SwitchDoneMsg;

// Registers SwitchDoneMsg and returns its number. The program calls it during
// process initialisation, before any thread starts and right after it has
// registered PresetsChangedMsg, so that both are registered in that order.
UINT RegisterSwitchDoneMsg();

// The text manager on "TALOTXT.ini", section "TALOGUI", that StartProgress takes
// the notice's texts from; null (the default) gives empty texts. The program
// sets it once its manager exists and clears it before destroying the manager.
void SetProgressTextMgr(const CTextMgr* texts);

// Reads the notice's two texts on the calling thread and starts the thread that
// shows the notice; returns at once. The notice has no owner, so owner is not
// used. If the thread cannot be started, no notice is shown.
void StartProgress(HWND owner);

// Asks the notice to close by posting SwitchDoneMsg to it. A notice still being
// created is waited for (five seconds at most), so it closes too; without a
// notice nothing is posted.
void CloseProgress();
