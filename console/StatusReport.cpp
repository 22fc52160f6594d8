#include "console/StatusReport.h"

#include "catalog/PresetHotkey.h"
#include "console/ConsoleTexts.h"
#include "console/JsonText.h"

namespace {

constexpr wchar_t kLineEnd[] = L"\r\n";

std::wstring Padded(const std::wstring& text, size_t width)
{
    return text.size() < width ? text + std::wstring(width - text.size(), L' ') : text + L' ';
}

std::wstring StateText(const ConsoleTexts& texts, DeviceState state)
{
    switch (state) {
    case DeviceState::On:
        return texts.Get(L"STATE_ON");
    case DeviceState::Off:
        return texts.Get(L"STATE_OFF");
    case DeviceState::Mixed:
        return texts.Get(L"STATE_MIXED");
    case DeviceState::Absent:
        break;
    }
    return texts.Get(L"STATE_ABSENT");
}

void PresetMembers(JsonText& json, const TaloPresetList& presets)
{
    json.Key(L"presets");
    json.OpenArray();
    for (int i = 0; i < presets.GetSize(); ++i) {
        const TALO_PRESET& preset = presets[i];
        json.OpenObject();
        json.Key(L"number");
        json.Number(i);
        json.Key(L"name");
        json.String(preset.Name.GetString());
        json.Key(L"shortcut");
        if (preset.Hotkey != 0)
            json.String(HotkeyText(preset.Hotkey));
        else
            json.Null();
        json.Key(L"managed");
        json.Bool(preset.Managed);
        json.Key(L"devices");
        json.OpenArray();
        for (int k = 0; k < preset.Devices.GetSize(); ++k) {
            const TALO_DEVICEINFO& device = preset.Devices[k];
            json.OpenObject();
            json.Key(L"name");
            json.String(device.DeviceName.GetString());
            json.Key(L"class");
            json.String(device.Class.GetString());
            json.Key(L"hwid");
            json.String(device.HwId.GetString());
            json.Key(L"state");
            json.String(StateWord(device.Setting == 1 ? DeviceState::On : DeviceState::Off));
            json.CloseObject();
        }
        json.CloseArray();
        json.CloseObject();
    }
    json.CloseArray();
}

} // namespace

std::wstring StatusText(const ConsoleTexts& texts, const MachineStatus& status)
{
    std::wstring text = texts.Get(status.serviceRunning ? L"SERVICE_RUNNING" : L"SERVICE_UNREACHABLE") + kLineEnd;
    text += texts.Get(L"DEVICES_HEADING") + kLineEnd;
    for (const DeviceStatus& device : status.devices) {
        std::wstring line = L"  " + Padded(device.type, 11) + Padded(StateText(texts, device.state), 8) + device.name;
        if (device.restartPending)
            line += L" (" + texts.Get(L"RESTART_PENDING") + L")";
        text += line + kLineEnd;
    }
    text += PresetsText(texts, status.presets);
    const std::wstring inForce = status.inForce >= 0 && status.inForce < status.presets.GetSize()
                                     ? std::wstring(status.presets[status.inForce].Name.GetString())
                                     : texts.Get(L"NONE");
    return text + texts.Get(L"IN_FORCE", {inForce}) + kLineEnd;
}

std::wstring StatusJson(const MachineStatus& status)
{
    JsonText json;
    json.OpenObject();
    json.Key(L"service");
    json.String(status.serviceRunning ? L"running" : L"unreachable");
    json.Key(L"devices");
    json.OpenArray();
    for (const DeviceStatus& device : status.devices) {
        json.OpenObject();
        json.Key(L"type");
        json.String(device.type);
        json.Key(L"name");
        json.String(device.name);
        json.Key(L"class");
        json.String(device.className);
        json.Key(L"hwid");
        json.String(device.hwId);
        json.Key(L"state");
        json.String(StateWord(device.state));
        json.Key(L"restartPending");
        json.Bool(device.restartPending);
        json.CloseObject();
    }
    json.CloseArray();
    PresetMembers(json, status.presets);
    json.Key(L"inForce");
    if (status.inForce >= 0 && status.inForce < status.presets.GetSize()) {
        json.OpenObject();
        json.Key(L"number");
        json.Number(status.inForce);
        json.Key(L"name");
        json.String(status.presets[status.inForce].Name.GetString());
        json.CloseObject();
    } else {
        json.Null();
    }
    json.CloseObject();
    return json.Text();
}

std::wstring PresetsText(const ConsoleTexts& texts, const TaloPresetList& presets)
{
    if (presets.GetSize() == 0)
        return texts.Get(L"NO_PRESETS") + kLineEnd;
    std::wstring text = texts.Get(L"PRESETS_HEADING") + kLineEnd;
    for (int i = 0; i < presets.GetSize(); ++i) {
        const TALO_PRESET& preset = presets[i];
        text += L"  " + Padded(std::to_wstring(i), 3) + preset.Name.GetString() + L"  (" +
                texts.Get(L"SHORTCUT", {preset.Hotkey != 0 ? HotkeyText(preset.Hotkey) : texts.Get(L"NONE")}) + L")" +
                (preset.Managed ? L" (" + texts.Get(L"MANAGED") + L")" : std::wstring()) + kLineEnd;
        for (int k = 0; k < preset.Devices.GetSize(); ++k) {
            const TALO_DEVICEINFO& device = preset.Devices[k];
            text += L"       " + Padded(StateText(texts, device.Setting == 1 ? DeviceState::On : DeviceState::Off), 8) +
                    device.DeviceName.GetString() + kLineEnd;
        }
    }
    return text;
}

std::wstring PresetsJson(const TaloPresetList& presets)
{
    JsonText json;
    json.OpenObject();
    PresetMembers(json, presets);
    json.CloseObject();
    return json.Text();
}
