#include "settings/QuietProgress.h"

#include "catalog/DeviceMessage.h"
#include "catalog/PresetInForce.h"
#include "foundation/CTextMgr.h"

#include <windows.h>

namespace {

constexpr int kTextChars = 256;

bool SameText(const wchar_t* a, const wchar_t* b)
{
    return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Whether the catalog lists the device in another state than the preset wants.
bool DiffersFromCatalog(const TALO_DEVICEINFO& device, const TaloDeviceArray& catalog)
{
    for (int i = 0; i < catalog.GetSize(); ++i) {
        const TALO_DEVICEINFO& found = catalog[i];
        if (SameText(found.Class, device.Class) && SameText(found.HwId, device.HwId))
            return (found.Setting == 1) != (device.Setting == 1);
    }
    return false;
}

std::wstring Text(const CTextMgr* texts, const wchar_t* key)
{
    wchar_t text[kTextChars] = L"";
    if (texts)
        texts->CopyText(key, text, kTextChars);
    return text;
}

// The key's text with the preset's name for its "%s", then the items after a blank.
std::wstring Line(const CTextMgr* texts, const wchar_t* key, const std::wstring& presetName,
                  const std::vector<std::wstring>& items)
{
    std::wstring line = FormatDeviceMessage(Text(texts, key).c_str(), presetName.c_str()).GetString();
    for (size_t i = 0; i < items.size(); ++i)
        line += (i == 0 ? L" " : L", ") + items[i];
    return line;
}

} // namespace

CQuietProgress::CQuietProgress(const TALO_PRESET& preset, const TaloDeviceArray& catalog, const CTextMgr* texts)
    : texts_(texts), presetName_(preset.Name.GetString())
{
    for (int i = 0; i < preset.Devices.GetSize(); ++i)
        differs_.push_back(DiffersFromCatalog(preset.Devices[i], catalog));
}

void CQuietProgress::DeviceDone(const wchar_t* deviceName, bool on, DeviceOutcome outcome)
{
    const bool differed = done_ < differs_.size() && differs_[done_];
    ++done_;
    if (outcome == DeviceOutcome::Failed)
        failed_.push_back(deviceName);
    else if (differed)
        changed_.push_back(std::wstring(deviceName) + L" " + Text(texts_, on ? L"IDS_REAPPLY_ON" : L"IDS_REAPPLY_OFF"));
}

int CQuietProgress::ExitCode() const
{
    if (!failed_.empty())
        return kReapplyFailed;
    return changed_.empty() ? kReapplyUnchanged : kReapplyChanged;
}

std::wstring CQuietProgress::Notice() const
{
    std::wstring notice;
    if (!changed_.empty())
        notice = Line(texts_, L"IDS_REAPPLIED", presetName_, changed_);
    if (!failed_.empty())
        notice += (notice.empty() ? L"" : L"\r\n") + Line(texts_, L"IDS_REAPPLY_FAILED", presetName_, failed_);
    return notice;
}
