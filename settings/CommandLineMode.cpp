#include "settings/CommandLineMode.h"

#include "catalog/DeviceCatalog.h"
#include "catalog/PresetApply.h"
#include "catalog/PresetInForce.h"
#include "devices/DeviceSnapshot.h"
#include "foundation/CcString.h"
#include "foundation/Names.h"
#include "settings/RestartNotice.h"

#include <cwchar>
#include <windows.h>

namespace {

constexpr wchar_t kStatusWord[] = L"STATUS";
constexpr wchar_t kQuietWord[] = L"Q";
// The types that are not device sections: the values of "DeviceList" that name them.
constexpr const auto& kWlanType = kDeviceListWlan;
constexpr const auto& kUmtsType = kDeviceListUmts;
constexpr wchar_t kOnValue[] = L"ON";
constexpr wchar_t kOffValue[] = L"OFF";

constexpr wchar_t kStatusCaption[] = L"Device Status - Airvane";
constexpr wchar_t kParameterErrorCaption[] = L"Parameter Error - Airvane";
constexpr wchar_t kSwitchErrorCaption[] = L"Device Switch Error - Airvane";
constexpr wchar_t kInvalidValueText[] = L"Invalid device status was specified in command line.";

// The catalog holds the devices of the type and nothing else; the type names
// are compared exactly, as the words are upper-cased already.
void FindDevicesOfType(CDeviceCatalog& catalog, const wchar_t* type)
{
    // The readers share one walk of each class, as in a whole build.
    CDeviceSnapshot devices;
    catalog.RemoveAll();
    if (lstrcmpW(type, kWlanType) == 0) {
        catalog.AddRegisteredDevices(devices);
        catalog.AddNetworkCards(devices);
    } else if (lstrcmpW(type, kUmtsType) == 0) {
        catalog.AddUmtsDevice(devices);
    } else if (type[0] != L'\0') {
        catalog.AddSectionDevices(devices, type);
    }
}

int DeviceStatus(const CDeviceCatalog& catalog)
{
    if (catalog.GetSize() == 0)
        return kStatusNotPresented;
    for (int i = 0; i < catalog.GetSize(); ++i) {
        if (catalog[i].Setting == 1)
            return kStatusEnabled;
    }
    return kStatusDisabled;
}

void ShowStatus(const wchar_t* type, int status)
{
    const wchar_t* state = status == kStatusNotPresented ? L" not presented."
                           : status == kStatusDisabled   ? L" disabled."
                                                         : L" enabled.";
    CcString text;
    text.Format(L"%s is%s", type, state);
    MessageBoxW(nullptr, text, kStatusCaption, MB_OK);
}

bool IsUmtsModem(const TALO_DEVICEINFO& device)
{
    return CompareStringOrdinal(device.Class, -1, kUmtsClassMarker, -1, TRUE) == CSTR_EQUAL;
}

// Switches every device of the catalog; each failure is reported on its own, a
// device that needs a restart is added to restart.
void SwitchDevices(CDeviceCatalog& catalog, bool on, bool quiet, CRestartNotice& restart)
{
    for (int i = 0; i < catalog.GetSize(); ++i) {
        const TALO_DEVICEINFO& device = catalog[i];
        CcString failure;
        int result = kSwitchFailed;
        if (IsUmtsModem(device)) {
            result = on ? catalog.EnableUmtsModem() : catalog.DisableUmtsModem();
            if (result == kSwitchFailed)
                failure = on ? L"UMTS Enable Failed" : L"UMTS Didable Failed";
        } else {
            result = on ? SwitchOnDevice(device.Class, device.HwId) : SwitchOffDevice(device.Class, device.HwId);
            if (result == kSwitchFailed)
                failure.Format(on ? L"%s Enable Failed" : L"%s Disable Failed", device.DeviceName.GetString());
        }
        if (OutcomeOfSwitch(result) == DeviceOutcome::RestartNeeded)
            restart.Add(device.DeviceName);
        if (!failure.IsEmpty() && !quiet)
            MessageBoxW(nullptr, failure, kSwitchErrorCaption, MB_OK);
    }
}

} // namespace

int RunCommandLineMode(CDeviceCatalog& catalog, const wchar_t* argumentText, const CTextMgr* texts)
{
    CCommandLineWords words(argumentText);
    const bool quiet = words.Quiet();
    CRestartNotice restart;
    for (const wchar_t* word = words.Next(kWordSeparators); word[0] != L'\0'; word = words.Next(kWordSeparators)) {
        if (lstrcmpW(word, kQuietWord) == 0)
            continue;
        if (lstrcmpW(word, kStatusWord) == 0) {
            const wchar_t* type = words.Next(kValueSeparators);
            FindDevicesOfType(catalog, type);
            const int status = DeviceStatus(catalog);
            if (!quiet)
                ShowStatus(type, status);
            return status;
        }
        FindDevicesOfType(catalog, word);
        const wchar_t* value = words.Next(kValueSeparators);
        if (catalog.GetSize() == 0)
            continue;
        const bool on = lstrcmpW(value, kOnValue) == 0;
        if (!on && lstrcmpW(value, kOffValue) != 0) {
            if (!quiet)
                MessageBoxW(nullptr, kInvalidValueText, kParameterErrorCaption, MB_OK);
            continue;
        }
        // What the user did last wins: a preset is no longer in force.
        ForgetPresetInForce();
        SwitchDevices(catalog, on, quiet, restart);
    }
    if (!quiet)
        restart.Show(nullptr, texts);
    return 0;
}

CCommandLineWords::CCommandLineWords(const wchar_t* argumentText)
{
    const wchar_t* source = argumentText ? argumentText : L"";
    int length = 0;
    for (; source[length] != L'\0' && length < kTextChars - 1; ++length) {
        const wchar_t c = source[length];
        text_[length] = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    }
    text_[length] = L'\0';
    next_ = text_;
    quiet_ = wcsstr(text_, L"/Q") != nullptr;
}

const wchar_t* CCommandLineWords::Next(const wchar_t* separators)
{
    next_ += wcsspn(next_, separators);
    wchar_t* word = next_;
    next_ += wcscspn(next_, separators);
    if (*next_ != L'\0')
        *next_++ = L'\0';
    return word;
}
