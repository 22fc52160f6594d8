#include "catalog/PresetInForce.h"

#include "catalog/PolicySettings.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"

#include <windows.h>

namespace {

// The product's per-user key, created for a write.
bool OpenProductKey(CcRegistry& key, bool create)
{
    return create ? key.CreateKey(kProductKey, HKEY_CURRENT_USER, KEY_READ | KEY_WRITE) != 0
                  : key.OpenKey(kProductKey, HKEY_CURRENT_USER, KEY_READ | KEY_WRITE) != 0;
}

// The user's own choice: on unless the value is 0.
bool UserKeepsPresetApplied()
{
    CcRegistry key;
    return !OpenProductKey(key, false) || key.GetDWord(kKeepAppliedValue, 1, 0) != 0;
}

} // namespace

void RecordPresetInForce(int number, const wchar_t* name)
{
    CcRegistry key;
    if (!OpenProductKey(key, true))
        return;
    // The name first: a reader that sees the new number with the old name forgets both.
    key.SetValue(kInForceNameValue, name, REG_SZ, 0);
    key.SetDWord(kInForceNumberValue, static_cast<DWORD>(number));
}

void ForgetPresetInForce()
{
    CcRegistry key;
    if (!OpenProductKey(key, false))
        return;
    key.DeleteValue(kInForceNumberValue);
    key.DeleteValue(kInForceNameValue);
}

PresetInForce ReadPresetInForce()
{
    PresetInForce inForce;
    CcRegistry key;
    if (!OpenProductKey(key, false))
        return inForce;
    constexpr DWORD kNone = 0xFFFFFFFF;
    const DWORD number = key.GetDWord(kInForceNumberValue, kNone, 0);
    inForce.name = key.GetString(kInForceNameValue, L"", 0);
    if (number < 0x7FFFFFFF && !inForce.name.IsEmpty())
        inForce.number = static_cast<int>(number);
    return inForce;
}

int FindPresetInForce(const TaloPresetList& presets)
{
    const PresetInForce inForce = ReadPresetInForce();
    if (inForce.number < 0 || inForce.number >= presets.GetSize())
        return -1;
    return lstrcmpW(presets[inForce.number].Name, inForce.name) == 0 ? inForce.number : -1;
}

bool KeepsPresetApplied()
{
    switch (ReadKeepAppliedPolicy()) {
    case KeepAppliedPolicy::Always:
        return true;
    case KeepAppliedPolicy::Never:
        return false;
    default:
        return UserKeepsPresetApplied();
    }
}

void SetKeepsPresetApplied(bool keep)
{
    CcRegistry key;
    if (OpenProductKey(key, true))
        key.SetDWord(kKeepAppliedValue, keep ? 1 : 0);
}

void WriteReapplyNotice(const wchar_t* text)
{
    CcRegistry key;
    if (!OpenProductKey(key, true))
        return;
    if (text[0] == L'\0')
        key.DeleteValue(kReapplyNoticeValue);
    else
        key.SetValue(kReapplyNoticeValue, text, REG_SZ, 0);
}

CcString TakeReapplyNotice()
{
    CcRegistry key;
    if (!OpenProductKey(key, false))
        return CcString();
    const CcString text = key.GetString(kReapplyNoticeValue, L"", 0);
    key.DeleteValue(kReapplyNoticeValue);
    return text;
}
