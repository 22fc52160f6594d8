#pragma once

// How a save of the presets survives being cut short at any point (the settings
// program killed, the log-on ended, power lost): the new tree is written beside
// "Setting" as "Setting.Saving", marked whole by a value of its own, and then
// copied in place of "Setting"; the mark goes before the copy's source does. A
// save cut short before the mark leaves the old list; one cut short after it is
// finished by the next load or save. After a save has ended, the layout is
// "Setting\Preset%d" alone, as readers expect.

#include "foundation/Handle.h"

// The per-session lock of the preset trees. Waits a few seconds at most; a save
// whose program ended while holding it leaves it free.
class CPresetStoreLock {
public:
    CPresetStoreLock();
    ~CPresetStoreLock();
    CPresetStoreLock(const CPresetStoreLock&) = delete;
    CPresetStoreLock& operator=(const CPresetStoreLock&) = delete;

    bool IsHeld() const { return held_; }

private:
    KernelHandle mutex_;
    bool held_ = false;
};

// With the lock held: finishes a save cut short after its mark, or removes the
// partial tree of one cut short before. False when "Setting.Saving" is still there.
bool FinishInterruptedSave();

// With the lock held and "Setting.Saving" marked whole: replaces "Setting" by a
// copy of it and removes it. False when that stopped short (it is then left to
// the next load or save to finish).
bool PutSavedPresetsInPlace();
