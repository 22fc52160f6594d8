#pragma once

// How the settings program re-applies the preset in force for the launcher
// ("/p<n> /Q"): no notice and no boxes. It tells which devices the re-apply
// changed (against the states the catalog found at start) and which failed,
// and composes the balloon text the launcher shows for them.
//
//   CQuietProgress progress(preset, catalog, textMgr);
//   ApplyPreset(presets, index, &catalog, progress);
//   WriteReapplyNotice(progress.Notice().c_str());
//   return progress.ExitCode();

#include "catalog/PresetApply.h"

#include <string>
#include <vector>

class CTextMgr;

class CQuietProgress final : public IPresetProgress {
public:
    // catalog holds the devices found before the preset is applied, with their
    // states; a device it does not list counts as unchanged unless it fails.
    // texts (section "TALOGUI"; null: empty texts) must outlive the object.
    CQuietProgress(const TALO_PRESET& preset, const TaloDeviceArray& catalog, const CTextMgr* texts);

    void Started() override {}
    void DeviceDone(const wchar_t* deviceName, bool on, DeviceOutcome outcome) override;
    void Finished() override {}

    // kReapplyUnchanged, kReapplyChanged or kReapplyFailed (PresetInForce.h).
    int ExitCode() const;

    // "Travel applied again: Bluetooth off", a line of the failed devices after
    // it; empty when nothing changed and nothing failed.
    std::wstring Notice() const;

private:
    const CTextMgr* texts_;
    std::wstring presetName_;
    std::vector<bool> differs_; // per device of the preset, in its order
    size_t done_ = 0;
    std::vector<std::wstring> changed_; // "Bluetooth off"
    std::vector<std::wstring> failed_;  // device names
};
