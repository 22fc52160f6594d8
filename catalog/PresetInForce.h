#pragma once

#include "catalog/DeviceRecords.h"
#include "foundation/CcString.h"

// The preset in force: the one the user applied last, per user under
// HKEY_CURRENT_USER\SOFTWARE\Korvath\Airvane as its number ("InForce") and name
// ("InForceName"). Whatever applies a stored preset records it; a switch of a
// device type or a preset applied without being stored ends it. The launcher
// re-applies it while "KeepApplied" is on.

struct PresetInForce {
    int number = -1; // -1: none
    CcString name;
};

void RecordPresetInForce(int number, const wchar_t* name);
void ForgetPresetInForce();

// The recorded preset, or number -1 when none is recorded.
PresetInForce ReadPresetInForce();

// The number of the recorded preset when presets still holds it under its
// recorded name; -1 when none is recorded or the presets were renumbered or
// deleted since.
int FindPresetInForce(const TaloPresetList& presets);

// Whether the launcher keeps the preset in force applied: as the KeepApplied policy
// forces it, else as the user chose (on unless the user's value is 0). Read when
// needed, so that a change of either counts from the next trigger.
bool KeepsPresetApplied();
// Stores the user's own choice, which the policy overrides but never overwrites.
void SetKeepsPresetApplied(bool keep);

// The text of the balloon that the last quiet re-apply asks for ("" for none):
// written by the settings program, taken (read and deleted) by the launcher.
void WriteReapplyNotice(const wchar_t* text);
CcString TakeReapplyNotice();

// Exit codes of the settings program's quiet re-apply ("/p<n> /Q").
constexpr int kReapplyUnchanged = 0; // every device was in its state already (or no such preset)
constexpr int kReapplyChanged = 1;   // a device was switched; the notice says which
constexpr int kReapplyFailed = 2;    // a device could not be switched; the notice names it
