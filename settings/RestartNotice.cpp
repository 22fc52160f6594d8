#include "settings/RestartNotice.h"

#include "catalog/DeviceMessage.h"
#include "foundation/CTextMgr.h"
#include "foundation/Names.h"

namespace {

constexpr wchar_t kRestartNeededKey[] = L"MSG_RESTART_NEEDED";
constexpr int kCaptionChars = 128;
constexpr int kFormatChars = 512;

} // namespace

void CRestartNotice::Add(const wchar_t* deviceName)
{
    devices_.emplace_back(deviceName ? deviceName : L"");
}

// The copies leave the text manager's value buffer as it was.
void CRestartNotice::Show(HWND owner, const CTextMgr* texts)
{
    if (devices_.empty())
        return;
    std::wstring names;
    for (const std::wstring& device : devices_)
        names += (names.empty() ? L"" : L"\r\n") + device;
    devices_.clear();
    wchar_t caption[kCaptionChars] = L"";
    wchar_t format[kFormatChars] = L"";
    if (texts) {
        texts->CopyText(kSettingsWindowTitleKey, caption, kCaptionChars);
        texts->CopyText(kRestartNeededKey, format, kFormatChars);
    }
    const CcString text = FormatDeviceMessage(format, names.c_str());
    MessageBoxW(owner, text, caption, MB_ICONINFORMATION | MB_OK);
}
