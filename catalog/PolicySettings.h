#pragma once

#include <windows.h>

// The administrator's settings, values under SOFTWARE\Policies\Korvath\Airvane of
// HKEY_LOCAL_MACHINE and of HKEY_CURRENT_USER; the machine's value wins. The
// programs read them and never write them.

// Every value the programs read under the policy key, named by kPolicyValueNames; the
// administrative template (installer/policy/Airvane.admx) offers each of them.
enum class PolicyValue { AllowUserPresets, Autostart, KeepApplied, Count };
extern const wchar_t* const kPolicyValueNames[static_cast<int>(PolicyValue::Count)];

// Every key whose values the programs read as policy: the key of the values above,
// and Rules, whose numbered values are rules (RuleStore.h). The template sets them.
constexpr int kPolicyKeyCount = 2;
extern const wchar_t* const kPolicyKeys[kPolicyKeyCount];

// A policy's REG_DWORD: the machine's when it is set, else the user's. False when
// neither sets it (or a value of another type stands there).
bool ReadPolicyDWord(PolicyValue which, DWORD* value);

// AllowUserPresets: whether users may make and delete presets of their own. Yes
// unless a policy sets 0.
bool UserPresetsAllowed();

// A policy that turns something on or off: 1 always, 0 never; any other value or
// none leaves it to the user.
enum class ForcedPolicy { UserDecides, Always, Never };
ForcedPolicy ReadForcedPolicy(PolicyValue which);

// Autostart: whether the launcher starts at every log-on.
using AutostartPolicy = ForcedPolicy;
inline AutostartPolicy ReadAutostartPolicy()
{
    return ReadForcedPolicy(PolicyValue::Autostart);
}

// KeepApplied: whether the launcher keeps the preset in force applied (else the
// settings window's box decides). The user's own choice stays stored either way.
using KeepAppliedPolicy = ForcedPolicy;
inline KeepAppliedPolicy ReadKeepAppliedPolicy()
{
    return ReadForcedPolicy(PolicyValue::KeepApplied);
}
