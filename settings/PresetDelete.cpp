#include "settings/PresetDelete.h"

#include "catalog/PresetStore.h"
#include "settings/DialogTexts.h"
#include "settings/PresetList.h"
#include "settings/SettingsProcess.h"
#include "settings/SettingsResources.h"

void DeleteSelectedPreset(HWND dialog)
{
    // Delete is enabled only for a stored preset, but its command can still be posted.
    const int entry = SelectedListEntry(dialog);
    if (!IsStoredPreset(entry))
        return;
    if (ShowTextMessage(dialog, L"MSG_DELETEPRESET", g_windowTitle, MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    g_presets.RemoveAt(entry, 1);
    SavePresets(g_presets);
    FillPresetList(dialog);
    PostMessageW(dialog, WM_COMMAND, IDC_MAIN_PRESET_LIST, 0);
}
