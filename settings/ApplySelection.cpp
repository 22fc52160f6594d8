#include "settings/ApplySelection.h"

#include "catalog/PresetApply.h"
#include "foundation/CcException.h"
#include "settings/DialogTexts.h"
#include "settings/PresetList.h"
#include "settings/RegisterDialog.h"
#include "settings/SettingsProcess.h"
#include "settings/SettingsResources.h"

#include <new>

std::unique_ptr<TALO_PRESET> pendingPreset;

namespace {

// Runs the register dialog on a new, empty preset. True when the new preset now
// stands at the end of the preset list, at index.
bool MakeNewPreset(HWND dialog, int index)
{
    pendingPreset.reset(CheckAllocation(new (std::nothrow) TALO_PRESET));
    const int made = PrepareNewPreset(dialog);
    pendingPreset.reset();
    return made && index < g_presets.GetSize();
}

} // namespace

int ApplySelection(HWND dialog)
{
    int index = SelectedListEntry(dialog);
    if (!IsStoredPreset(index)) {
        // The new-preset entry, or no selection while the tree shows the devices found.
        if (!OffersNewPreset())
            return 0;
        index = g_presets.GetSize();
        if (!MakeNewPreset(dialog, index))
            return 0;
    }
    const HWND description = GetDlgItem(dialog, IDC_MAIN_DESCRIPTION);
    SetItemTextByKey(dialog, L"IDS_CHANGESETTING", IDC_MAIN_DESCRIPTION);
    UpdateWindow(description); // no message is handled until the preset is applied
    ApplyPreset(dialog, index);
    SetItemTextByKey(dialog, L"IDS_CHANGEDONE", IDC_MAIN_DESCRIPTION);
    return 1;
}
