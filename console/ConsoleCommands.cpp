#include "console/ConsoleCommands.h"

#include "catalog/DeviceCatalog.h"
#include "catalog/PresetApply.h"
#include "catalog/PresetInForce.h"
#include "catalog/PresetStore.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleProgress.h"
#include "console/ConsoleTexts.h"
#include "console/MachineStatus.h"
#include "console/RuleCommands.h"
#include "console/StatusReport.h"
#include "foundation/CcCheckDualExec.h"
#include "foundation/Names.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

int Status(bool json, const ConsoleTexts& texts, const ConsoleStream& out)
{
    CDeviceCatalog catalog(SettingsCatalogOptions(), CDeviceCatalog::Unbuilt());
    MachineStatus status;
    ReadMachineStatus(catalog, status);
    if (json)
        out.Line(StatusJson(status));
    else
        out.Write(StatusText(texts, status));
    return kExitDone;
}

int Presets(bool json, const ConsoleTexts& texts, const ConsoleStream& out)
{
    TaloPresetList presets;
    LoadPresets(presets);
    if (json)
        out.Line(PresetsJson(presets));
    else
        out.Write(PresetsText(texts, presets));
    return kExitDone;
}

void WarnWithoutService(const ConsoleTexts& texts, const ConsoleStream& err)
{
    if (!IsServiceRunning())
        err.Line(texts.Get(L"SERVICE_DOWN"));
}

int Apply(const std::wstring& word, const ConsoleTexts& texts, const ConsoleStream& err)
{
    TaloPresetList presets;
    LoadPresets(presets);
    const int number = FindPreset(presets, word);
    if (number < 0) {
        err.Line(texts.Get(L"NO_PRESET", {word}));
        return kExitNotFound;
    }
    WarnWithoutService(texts, err);
    err.Line(texts.Get(L"APPLYING", {presets[number].Name.GetString()}));
    RecordPresetInForce(number, presets[number].Name);
    // Built as the settings program builds it before a preset: the build registers
    // the WLAN adapters it finds, which the service switches only once registered.
    CDeviceCatalog catalog(SettingsCatalogOptions());
    ConsoleProgress progress(texts, err);
    ApplyPreset(presets, number, &catalog, progress);
    return progress.ExitCode();
}

bool IsUmtsModem(const TALO_DEVICEINFO& device)
{
    return CompareStringOrdinal(device.Class, -1, kUmtsClassMarker, -1, TRUE) == CSTR_EQUAL;
}

// Every type is looked up before anything is switched, so a mistyped type
// leaves the machine as it was.
int SwitchTypes(const std::vector<std::wstring>& types, bool on, const ConsoleTexts& texts, const ConsoleStream& err)
{
    CDeviceCatalog catalog(SettingsCatalogOptions(), CDeviceCatalog::Unbuilt());
    std::vector<std::vector<TALO_DEVICEINFO>> found(types.size());
    for (size_t t = 0; t < types.size(); ++t) {
        FindDevicesOfType(catalog, types[t].c_str());
        if (catalog.GetSize() == 0) {
            err.Line(texts.Get(L"NO_DEVICES", {types[t]}));
            return kExitNotFound;
        }
        for (int i = 0; i < catalog.GetSize(); ++i)
            found[t].push_back(catalog[i]);
    }
    WarnWithoutService(texts, err);
    // What the user did last wins: a preset is no longer in force.
    ForgetPresetInForce();
    ConsoleProgress progress(texts, err);
    for (const std::vector<TALO_DEVICEINFO>& devices : found) {
        for (const TALO_DEVICEINFO& device : devices) {
            const int switched = IsUmtsModem(device) ? (on ? catalog.EnableUmtsModem() : catalog.DisableUmtsModem())
                                 : on                ? SwitchOnDevice(device.Class, device.HwId)
                                                     : SwitchOffDevice(device.Class, device.HwId);
            progress.Report(device.DeviceName.GetString(), on, ConsoleOutcome(OutcomeOfSwitch(switched)));
        }
    }
    return progress.ExitCode();
}

bool IsNumber(const std::wstring& word)
{
    if (word.empty() || word.size() > 9)
        return false;
    for (const wchar_t c : word) {
        if (c < L'0' || c > L'9')
            return false;
    }
    return true;
}

// A switch runs as the settings program's command line does: as its instance, so
// that no settings window changes presets or devices meanwhile and the tray menu
// stays closed. The guard holds the instance until the command is done.
bool TakeSettingsInstance(CcCheckDualExec& guard, const ConsoleTexts& texts, const ConsoleStream& err)
{
    if (guard.Check(kSettingsInstanceMutex) == CcCheckDualExec::kFirstInstance)
        return true;
    err.Line(texts.Get(L"SETTINGS_OPEN"));
    return false;
}

} // namespace

int FindPreset(const TaloPresetList& presets, const std::wstring& word)
{
    if (IsNumber(word)) {
        const int number = std::stoi(word);
        if (number < presets.GetSize())
            return number;
    }
    for (int i = 0; i < presets.GetSize(); ++i) {
        if (CompareStringOrdinal(presets[i].Name, -1, word.c_str(), -1, TRUE) == CSTR_EQUAL)
            return i;
    }
    return -1;
}

int RunConsoleCommand(const ConsoleCommand& command, const ConsoleTexts& texts, const ConsoleStream& out,
                      const ConsoleStream& err)
{
    CcCheckDualExec settingsInstance;
    const bool switches =
        command.verb == ConsoleVerb::Apply || command.verb == ConsoleVerb::On || command.verb == ConsoleVerb::Off;
    if (switches && !TakeSettingsInstance(settingsInstance, texts, err))
        return kExitFailed;
    switch (command.verb) {
    case ConsoleVerb::Status:
        return Status(command.json, texts, out);
    case ConsoleVerb::Presets:
        return Presets(command.json, texts, out);
    case ConsoleVerb::Apply:
        return Apply(command.operands[0], texts, err);
    case ConsoleVerb::On:
    case ConsoleVerb::Off:
        return SwitchTypes(command.operands, command.verb == ConsoleVerb::On, texts, err);
    case ConsoleVerb::RulesList:
    case ConsoleVerb::RulesAdd:
    case ConsoleVerb::RulesRemove:
        return RunRulesCommand(command, texts, out, err);
    case ConsoleVerb::Help:
    case ConsoleVerb::Version:
        break;
    }
    return kExitBadUse;
}
