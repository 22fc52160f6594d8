#pragma once

#include <cstddef>

class CDeviceSnapshot;

// Querying and switching devices through the device installer. A device is
// addressed by its setup class name and, optionally, a hardware-ID prefix.

// Device state codes, written by the query mode.
constexpr int DEVSTAT_NONE = -1;     // no device matched, or none had a readable status
constexpr int DEVSTAT_DISABLED = 0;  // every matching device with a readable status is disabled
constexpr int DEVSTAT_ENABLED = 1;   // every matching device with a readable status is enabled
constexpr int DEVSTAT_MIXED = 2;     // some matching devices are enabled, some disabled

// Disabled or enabled: the devices agree on one state.
constexpr bool IsDefiniteState(int state)
{
    return state == DEVSTAT_DISABLED || state == DEVSTAT_ENABLED;
}

// Room for any name or hardware ID these functions report, terminator included.
constexpr size_t kDevicePropertyChars = 512;

// Queries (mode 0) or switches (mode non-zero) every device of a setup class.
// Query: *state receives a DEVSTAT_ code. Switch: *state is the requested state,
// non-zero to enable. restartNeeded (optional, switch only) is cleared first and
// set to 1 when the installer asks for a restart. A device already in the requested
// state (enabled without a problem, or disabled) is not passed to the class installer
// and counts as switched; the others are switched with DI_QUIETINSTALL set.
// Returns 1, or 0 when a switch failed.
int DeviceCtlByClass(const wchar_t* className, int mode, int* state, int* restartNeeded);

// As DeviceCtlByClass, limited to devices whose hardware-ID list holds an entry that
// begins with hwIdPrefix (any letter case). nameOut (optional, nameCapacity characters)
// receives the friendly name or else the description of the last matching device; a
// name that does not fit is not reported.
int DeviceCtlByHwId(int mode, int* state, const wchar_t* className, const wchar_t* hwIdPrefix,
                    int* restartNeeded, wchar_t* nameOut = nullptr, size_t nameCapacity = 0);

// Finds the first device of the class whose description equals the text (any letter
// case) and copies the first entry of its hardware-ID list into hwIdOut (hwIdCapacity
// characters). Returns 1 when found; a device whose hardware ID does not fit is passed over.
int GetHwIdFromDesc(const wchar_t* description, const wchar_t* className, wchar_t* hwIdOut, size_t hwIdCapacity);

// The queries above answered from a snapshot (devices/DeviceSnapshot.h): the same
// answers, from one walk of each class however many questions are asked.
int QueryByClass(CDeviceSnapshot& snapshot, const wchar_t* className, int* state);
int QueryByHwId(CDeviceSnapshot& snapshot, int* state, const wchar_t* className, const wchar_t* hwIdPrefix,
                wchar_t* nameOut = nullptr, size_t nameCapacity = 0);
int GetHwIdFromDesc(CDeviceSnapshot& snapshot, const wchar_t* description, const wchar_t* className,
                    wchar_t* hwIdOut, size_t hwIdCapacity);

// True when a device has a change that takes effect after a restart, asked of the
// snapshot: any device of the class when hwIdPrefix is null (as QueryByClass), else
// the devices QueryByHwId selects by the prefix; an empty prefix selects none.
bool IsRestartPending(CDeviceSnapshot& snapshot, const wchar_t* className, const wchar_t* hwIdPrefix);

// True when a switch to on (off) would leave every device it selects as it is: the
// snapshot finds at least one, and each is enabled without a problem (disabled), the
// test the switch itself makes. An empty or null prefix selects the whole class, as
// the switching service does.
bool AreInState(CDeviceSnapshot& snapshot, const wchar_t* className, const wchar_t* hwIdPrefix, bool on);

// 1 when an installed device of the class has exactly this text as the first entry
// of its hardware-ID list (any letter case); a prefix of it does not count.
int IsFirstHwIdOfClass(const wchar_t* hwId, const wchar_t* className);
