#include "launcher/RuleKeeper.h"

#include "catalog/PresetStore.h"
#include "catalog/RuleStore.h"
#include "devices/DevicePresence.h"
#include "devices/MachineEvents.h"
#include "foundation/CTextMgr.h"
#include "launcher/LauncherGlobals.h"
#include "launcher/PresetKeeper.h"

#include <map>
#include <string>
#include <vector>

namespace {

// Events within this time make one apply: a cable that rattles, a dock that brings its devices.
constexpr UINT kEventSettleMs = 2000;

// One thing rules watch: the cable, the power source, or one dock device (by prefix).
struct Source {
    bool settled = false;  // the state the rules last acted on
    bool observed = false; // the state seen last
    unsigned change = 0;   // when it changed last, counted over every source
};

constexpr wchar_t kCableSource[] = L"cable";
constexpr wchar_t kPowerSource[] = L"power";

CableWatch g_cableWatch;
std::map<std::wstring, Source> g_sources;
unsigned g_changes = 0;

std::wstring DockSource(const wchar_t* hwId)
{
    std::wstring key = std::wstring(L"dock:") + hwId;
    CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

// The source's event for its state: true is plugged in, on battery, docked.
RuleEvent EventOf(const std::wstring& source, bool state)
{
    if (source == kCableSource)
        return state ? RuleEvent::CableIn : RuleEvent::CableOut;
    if (source == kPowerSource)
        return state ? RuleEvent::Battery : RuleEvent::AC;
    return state ? RuleEvent::Docked : RuleEvent::Undocked;
}

// The rule for an event of the source whose preset is stored: its preset's number, or -1.
int PresetOfRule(const std::vector<Rule>& rules, const std::wstring& source, RuleEvent event, const Rule** found)
{
    for (const Rule& rule : rules) {
        if (rule.event != event || (IsDockEvent(event) && DockSource(rule.hwId) != source))
            continue;
        const int index = FindRulePreset(Presets, rule.preset);
        if (index >= 0) {
            *found = &rule;
            return index;
        }
    }
    return -1;
}

// The balloon: "Network cable plugged in: Office applied".
std::wstring NoticeOf(RuleEvent event, const wchar_t* preset)
{
    return FillText(Texts.ruleApplied, {Texts.ruleEvents[static_cast<int>(event)], preset});
}

void Observe(HWND window, const std::wstring& source, bool state)
{
    Source& entry = g_sources[source];
    if (entry.observed == state)
        return;
    entry.observed = state;
    entry.change = ++g_changes;
    // Each change restarts the wait.
    SetTimer(window, kRuleEventTimerId, kEventSettleMs, nullptr);
}

// Notes the state of each dock device the rules name; a device a new rule names is taken as it is.
void ObserveDocks(HWND window, const std::vector<Rule>& rules, bool settle)
{
    for (const Rule& rule : rules) {
        if (!IsDockEvent(rule.event))
            continue;
        const std::wstring source = DockSource(rule.hwId);
        const bool present = IsDevicePresent(rule.hwId);
        const auto known = g_sources.find(source);
        if (known == g_sources.end() || settle) {
            Source& entry = g_sources[source];
            entry.settled = entry.observed = present;
        } else {
            Observe(window, source, present);
        }
    }
}

bool ApplyRuleFor(HWND window, const std::vector<Rule>& rules, const std::wstring& source, bool state)
{
    const RuleEvent event = EventOf(source, state);
    const Rule* rule = nullptr;
    const int index = PresetOfRule(rules, source, event, &rule);
    if (index < 0)
        return false;
    ApplyRulePreset(window, index, NoticeOf(event, Presets[index].Name).c_str());
    return true;
}

// On a thread of the system's: the window reads the new state on its own thread.
void CableCallback(void* window)
{
    PostMessageW(static_cast<HWND>(window), CableChangedMsg, 0, 0);
}

} // namespace

bool StartRules(HWND window)
{
    g_cableWatch.Start(CableCallback, window);
    g_sources.clear();
    const bool cable = IsCablePluggedIn();
    const bool battery = IsOnBattery();
    g_sources[kCableSource] = {cable, cable, 0};
    g_sources[kPowerSource] = {battery, battery, 0};
    const std::vector<Rule> rules = LoadRules();
    ObserveDocks(window, rules, true);

    LoadPresets(Presets);
    bool applied = ApplyRuleFor(window, rules, kCableSource, cable);
    applied = ApplyRuleFor(window, rules, kPowerSource, battery) || applied;
    // One dock preset: the first dock rule whose device's state matches.
    for (const Rule& rule : rules) {
        if (!IsDockEvent(rule.event))
            continue;
        const std::wstring source = DockSource(rule.hwId);
        if ((rule.event == RuleEvent::Docked) == g_sources[source].settled &&
            ApplyRuleFor(window, rules, source, g_sources[source].settled)) {
            applied = true;
            break;
        }
    }
    return applied;
}

void StopRules()
{
    g_cableWatch.Stop();
}

void OnCableChanged(HWND window)
{
    Observe(window, kCableSource, IsCablePluggedIn());
}

void OnPowerSourceChanged(HWND window)
{
    Observe(window, kPowerSource, IsOnBattery());
}

void OnDevicesChangedForRules(HWND window)
{
    ObserveDocks(window, LoadRules(), false);
}

void OnRuleEventsSettled(HWND window)
{
    KillTimer(window, kRuleEventTimerId);
    const std::vector<Rule> rules = LoadRules();
    LoadPresets(Presets);
    // Of the sources that changed since the rules last acted, the one that changed last
    // and has a rule for its event wins.
    const std::wstring* winner = nullptr;
    for (const auto& [source, entry] : g_sources) {
        const Rule* rule = nullptr;
        if (entry.observed != entry.settled && PresetOfRule(rules, source, EventOf(source, entry.observed), &rule) >= 0 &&
            (!winner || entry.change > g_sources[*winner].change))
            winner = &source;
    }
    if (winner)
        ApplyRuleFor(window, rules, *winner, g_sources[*winner].observed);
    for (auto& [source, entry] : g_sources)
        entry.settled = entry.observed;
}
