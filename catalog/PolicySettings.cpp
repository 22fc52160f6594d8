#include "catalog/PolicySettings.h"

#include "foundation/Handle.h"
#include "foundation/Names.h"

namespace {

bool ReadDWord(HKEY root, const wchar_t* name, DWORD* value)
{
    RegKey key;
    if (RegOpenKeyExW(root, kPolicyKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return false;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD bytes = sizeof(data);
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof(data))
        return false;
    *value = data;
    return true;
}

} // namespace

const wchar_t* const kPolicyValueNames[] = {kAllowUserPresetsPolicy, kAutostartPolicy, kKeepAppliedPolicy};
const wchar_t* const kPolicyKeys[] = {kPolicyKey, kPolicyRulesKey};

bool ReadPolicyDWord(PolicyValue which, DWORD* value)
{
    const wchar_t* const name = kPolicyValueNames[static_cast<int>(which)];
    return ReadDWord(HKEY_LOCAL_MACHINE, name, value) || ReadDWord(HKEY_CURRENT_USER, name, value);
}

bool UserPresetsAllowed()
{
    DWORD allowed = 1;
    return !ReadPolicyDWord(PolicyValue::AllowUserPresets, &allowed) || allowed != 0;
}

ForcedPolicy ReadForcedPolicy(PolicyValue which)
{
    DWORD value = 0;
    if (!ReadPolicyDWord(which, &value))
        return ForcedPolicy::UserDecides;
    return value == 1 ? ForcedPolicy::Always : value == 0 ? ForcedPolicy::Never : ForcedPolicy::UserDecides;
}
