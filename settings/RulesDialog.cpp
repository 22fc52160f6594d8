#include "settings/RulesDialog.h"

#include "catalog/RuleStore.h"
#include "devices/DevicePresence.h"
#include "foundation/CTextMgr.h"
#include "settings/DialogTexts.h"
#include "settings/SettingsProcess.h"
#include "settings/SettingsResources.h"

#include <string>
#include <vector>

namespace {

constexpr wchar_t kCaptionKey[] = L"GUIRULES_NAME";

constexpr ControlText kControlTexts[] = {
    {IDC_RULES_DESCRIPTION, L"IDC_RULES_DESC"},
    {IDC_RULES_LIST_LABEL, L"IDC_LBL_RULES"},
    {IDC_RULES_REMOVE, L"IDC_RULE_REMOVE"},
    {IDC_RULES_EVENT_LABEL, L"IDC_LBL_RULE_EVENT"},
    {IDC_RULES_PRESET_LABEL, L"IDC_LBL_RULE_PRESET"},
    {IDC_RULES_DEVICE_LABEL, L"IDC_LBL_RULE_DEVICE"},
    {IDC_RULES_ADD, L"IDC_RULE_ADD"},
    {IDOK, L"IDC_IDOK"},
    {IDCANCEL, L"IDC_IDCANCEL"},
};

// What the dialog edits: every rule, the administrator's first, and the devices
// present when it opened, which a dock rule is made from.
struct RulesEdit {
    std::vector<Rule> rules;
    std::vector<PresentDevice> devices;
};

RulesEdit& EditOf(HWND dialog)
{
    return *reinterpret_cast<RulesEdit*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::wstring Text(const wchar_t* key)
{
    wchar_t text[kDialogTextChars];
    CopyDialogText(key, text, kDialogTextChars);
    return text;
}

// "IDS_EVENT_CABLEIN" and so on: the event in words.
std::wstring EventText(RuleEvent event)
{
    std::wstring key = std::wstring(L"IDS_EVENT_") + RuleEventName(event);
    CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return Text(key.c_str());
}

// The dock's device by the name of a present device its prefix selects, else by the prefix.
std::wstring DockDeviceName(const RulesEdit& edit, const CcString& hwId)
{
    const int chars = hwId.GetLength();
    for (const PresentDevice& device : edit.devices) {
        if (static_cast<int>(device.hwId.size()) >= chars &&
            CompareStringOrdinal(device.hwId.c_str(), chars, hwId, chars, TRUE) == CSTR_EQUAL)
            return device.name;
    }
    return hwId.GetString();
}

std::wstring RuleLine(const RulesEdit& edit, const Rule& rule)
{
    std::wstring event = EventText(rule.event);
    if (IsDockEvent(rule.event))
        event += L" (" + DockDeviceName(edit, rule.hwId) + L")";
    std::wstring line = FillText(Text(L"IDS_RULE_LINE"), {event, rule.preset.GetString()});
    if (FindRulePreset(g_presets, rule.preset) < 0)
        line += L" " + Text(L"IDS_RULE_NO_PRESET");
    if (rule.managed)
        line += L" " + Text(L"IDS_RULE_MANAGED");
    return line;
}

int Selection(HWND dialog, int id, UINT message)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, message, 0, 0));
}

RuleEvent SelectedEvent(HWND dialog)
{
    const int event = Selection(dialog, IDC_RULES_EVENT, CB_GETCURSEL);
    return event >= 0 && event < kRuleEventCount ? static_cast<RuleEvent>(event) : RuleEvent::CableIn;
}

// Add needs a preset, and a device for the dock; Remove a rule of the user's own.
void UpdateControls(HWND dialog)
{
    const RulesEdit& edit = EditOf(dialog);
    const bool dock = IsDockEvent(SelectedEvent(dialog));
    EnableWindow(GetDlgItem(dialog, IDC_RULES_DEVICE), dock);
    const bool addable = Selection(dialog, IDC_RULES_PRESET, CB_GETCURSEL) >= 0 &&
                         (!dock || Selection(dialog, IDC_RULES_DEVICE, CB_GETCURSEL) >= 0) &&
                         UserRuleCount(edit.rules) < kMaxRules;
    EnableWindow(GetDlgItem(dialog, IDC_RULES_ADD), addable);
    const int rule = Selection(dialog, IDC_RULES_LIST, LB_GETCURSEL);
    const bool removable = rule >= 0 && rule < static_cast<int>(edit.rules.size()) && !edit.rules[static_cast<size_t>(rule)].managed;
    EnableWindow(GetDlgItem(dialog, IDC_RULES_REMOVE), removable);
}

// The width in pixels of the widest of the texts in the control's font, with a margin.
LONG WidestText(HWND control, const std::vector<std::wstring>& texts)
{
    const HDC dc = GetDC(control);
    const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::wstring& text : texts) {
        SIZE size = {};
        if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) && size.cx > widest)
            widest = size.cx;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(control, dc);
    return widest + GetSystemMetrics(SM_CXEDGE) * 4;
}

// Lists the rules, wide enough to scroll to a long line's end, and selects one.
void FillRuleList(HWND dialog, int select)
{
    const RulesEdit& edit = EditOf(dialog);
    const HWND list = GetDlgItem(dialog, IDC_RULES_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    std::vector<std::wstring> lines;
    for (const Rule& rule : edit.rules) {
        lines.push_back(RuleLine(edit, rule));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lines.back().c_str()));
    }
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(WidestText(list, lines)), 0);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    UpdateControls(dialog);
}

void AddComboText(HWND dialog, int id, const std::wstring& text)
{
    SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The six events, the stored presets' names and the present devices, each list
// with its first entry selected.
void FillChoices(HWND dialog)
{
    for (int i = 0; i < kRuleEventCount; ++i)
        AddComboText(dialog, IDC_RULES_EVENT, EventText(static_cast<RuleEvent>(i)));
    for (int i = 0; i < g_presets.GetSize(); ++i)
        AddComboText(dialog, IDC_RULES_PRESET, g_presets[i].Name.GetString());
    // A device's hardware ID is long: its list drops as wide as the longest entry.
    std::vector<std::wstring> devices;
    for (const PresentDevice& device : EditOf(dialog).devices) {
        devices.push_back(device.name + L" (" + device.hwId + L")");
        AddComboText(dialog, IDC_RULES_DEVICE, devices.back());
    }
    const HWND deviceCombo = GetDlgItem(dialog, IDC_RULES_DEVICE);
    SendMessageW(deviceCombo, CB_SETDROPPEDWIDTH,
                 static_cast<WPARAM>(WidestText(deviceCombo, devices) + GetSystemMetrics(SM_CXVSCROLL)), 0);
    for (const int id : {IDC_RULES_EVENT, IDC_RULES_PRESET, IDC_RULES_DEVICE})
        SendDlgItemMessageW(dialog, id, CB_SETCURSEL, 0, 0);
}

void InitRulesDialog(HWND dialog, RulesEdit* edit)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(edit));
    SetCaptionByKey(dialog, kCaptionKey);
    SetControlTexts(dialog, kControlTexts);
    FillChoices(dialog);
    FillRuleList(dialog, 0);
}

// The rule the choices make goes after the others; a name too long or a device
// prefix too long to be stored is not added.
void AddRule(HWND dialog)
{
    RulesEdit& edit = EditOf(dialog);
    const int preset = Selection(dialog, IDC_RULES_PRESET, CB_GETCURSEL);
    if (preset < 0 || preset >= g_presets.GetSize() || UserRuleCount(edit.rules) >= kMaxRules)
        return;
    Rule rule;
    rule.event = SelectedEvent(dialog);
    rule.preset = g_presets[preset].Name;
    if (IsDockEvent(rule.event)) {
        const int device = Selection(dialog, IDC_RULES_DEVICE, CB_GETCURSEL);
        if (device < 0 || device >= static_cast<int>(edit.devices.size()))
            return;
        rule.hwId = edit.devices[static_cast<size_t>(device)].hwId.c_str();
    }
    if (!IsValidRule(rule))
        return;
    edit.rules.push_back(rule);
    FillRuleList(dialog, static_cast<int>(edit.rules.size()) - 1);
}

// Remove is enabled only for a rule of the user's own, but its command can still be posted.
void RemoveRule(HWND dialog)
{
    RulesEdit& edit = EditOf(dialog);
    const int rule = Selection(dialog, IDC_RULES_LIST, LB_GETCURSEL);
    if (rule < 0 || rule >= static_cast<int>(edit.rules.size()) || edit.rules[static_cast<size_t>(rule)].managed)
        return;
    edit.rules.erase(edit.rules.begin() + rule);
    FillRuleList(dialog, rule < static_cast<int>(edit.rules.size()) ? rule : rule - 1);
}

// OK: the dialog closes once the rules are stored; a save that fails says so and
// leaves the dialog open with the changes.
void SaveAndClose(HWND dialog)
{
    if (!SaveRules(EditOf(dialog).rules)) {
        wchar_t caption[kCaptionChars];
        CopyDialogText(kCaptionKey, caption, kCaptionChars);
        ShowTextMessage(dialog, L"IDS_RULES_NOT_SAVED", caption, MB_ICONWARNING);
        return;
    }
    EndDialog(dialog, IDOK);
}

INT_PTR OnRulesCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDC_RULES_LIST:
    case IDC_RULES_EVENT:
    case IDC_RULES_PRESET:
    case IDC_RULES_DEVICE:
        if (notification == LBN_SELCHANGE || notification == CBN_SELCHANGE) // both 1
            UpdateControls(dialog);
        return FALSE;
    case IDC_RULES_ADD:
        AddRule(dialog);
        return TRUE;
    case IDC_RULES_REMOVE:
        RemoveRule(dialog);
        return TRUE;
    case IDOK:
        SaveAndClose(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK RulesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        InitRulesDialog(dialog, reinterpret_cast<RulesEdit*>(lParam));
        return TRUE;
    case WM_COMMAND:
        // A control's notification before WM_INITDIALOG finds nothing to edit yet.
        if (GetWindowLongPtrW(dialog, DWLP_USER) == 0)
            return FALSE;
        return OnRulesCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default:
        return FALSE;
    }
}

} // namespace

int EditRules(HWND owner)
{
    RulesEdit edit;
    edit.rules = LoadRules();
    edit.devices = ListPresentDevices();
    const INT_PTR result =
        DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_RULES), owner, RulesDlgProc, reinterpret_cast<LPARAM>(&edit));
    return result == IDOK ? 1 : 0;
}
