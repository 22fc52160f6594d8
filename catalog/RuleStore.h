#pragma once

#include "catalog/DeviceRecords.h"
#include "foundation/CcString.h"

#include <vector>

// Rules: per user under HKEY_CURRENT_USER\SOFTWARE\Korvath\Airvane\Rules, rule k
// as "<k>_Event", "<k>_Preset" and, for the dock, "<k>_HwId" (all REG_SZ),
// numbered from 0 without gaps. The administrator's rules stand in the same layout
// under SOFTWARE\Policies\Korvath\Airvane\Rules of HKEY_LOCAL_MACHINE and of
// HKEY_CURRENT_USER; they are read, never written. The launcher applies a rule's
// preset when its event happens.

enum class RuleEvent { CableIn, CableOut, Battery, AC, Docked, Undocked };
constexpr int kRuleEventCount = 6;

// The most rules stored; readers stop there.
constexpr int kMaxRules = 64;
// A hardware-ID prefix longer than this cannot name a device.
constexpr int kMaxRuleHwIdChars = 200;

struct Rule {
    RuleEvent event = RuleEvent::CableIn;
    CcString preset; // the preset's name: the first stored preset of that name applies
    CcString hwId;   // Docked/Undocked: the hardware-ID prefix of the device that marks the dock
    bool managed = false; // set by policy: shown, applied, never saved or removed
};

// The stored word of an event ("CableIn"), and the event of a word in any letter case.
const wchar_t* RuleEventName(RuleEvent event);
bool ParseRuleEvent(const wchar_t* word, RuleEvent* event);
inline bool IsDockEvent(RuleEvent event)
{
    return event == RuleEvent::Docked || event == RuleEvent::Undocked;
}

// Whether a rule can be stored: a preset name of 1 to 32 characters, and a
// hardware-ID prefix exactly for the dock events (1 to kMaxRuleHwIdChars characters).
bool IsValidRule(const Rule& rule);

// The rules in their order: the machine policy's, the user policy's (both marked
// managed), then the user's own. Within each key the list ends at the first number
// without an event (or at kMaxRules); a rule that is not valid (an unknown event
// word, a dock rule without a device) is passed over.
std::vector<Rule> LoadRules();

// The number of the user's own rules in the list (the managed ones are not theirs).
int UserRuleCount(const std::vector<Rule>& rules);

// Replaces the user's stored rules by the list's own ones; managed rules are left
// out, since policy is never written. False when the key cannot be written, a rule
// is not valid or the user's rules are more than kMaxRules.
bool SaveRules(const std::vector<Rule>& rules);

// The number of the first stored preset named name (any letter case), -1 when none.
int FindRulePreset(const TaloPresetList& presets, const wchar_t* name);
