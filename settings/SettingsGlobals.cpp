// The settings program's process-wide objects. Their order here is the order of
// process initialisation: the two registered messages, then the device catalog
// (built by its constructor), then the preset list.
#include "settings/SettingsProcess.h"

#include "catalog/PresetStore.h"
#include "catalog/PresetsChangedMsg.h"
#include "settings/ProgressWindow.h"

namespace {

[[maybe_unused]] const UINT presetsChangedMsg = RegisterPresetsChangedMsg();
[[maybe_unused]] const UINT switchDoneMsg = RegisterSwitchDoneMsg();

} // namespace

CDeviceCatalog g_catalog(SettingsCatalogOptions());
TaloPresetList g_presets;

namespace {

[[maybe_unused]] const int presetCount = LoadPresets(g_presets);

} // namespace

HINSTANCE g_instance = nullptr;
CTextMgr* g_textMgr = nullptr;
wchar_t g_windowTitle[kWindowTitleChars] = L"";

CcCheckDualExec& InstanceGuard()
{
    static CcCheckDualExec guard;
    return guard;
}
