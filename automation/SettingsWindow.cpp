#include "automation/SettingsWindow.h"

#include "automation/GuiWindows.h"
#include "settings/SettingsResources.h"

namespace {

constexpr UINT kAnswerMs = 5000;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &result);
    return static_cast<LRESULT>(result);
}

// The window shows its first selection once the command it posts to itself has
// run: until then the tree is enabled and so is delete, which it never leaves so.
bool AwaitFirstSelection(HWND dialog)
{
    const ULONGLONG deadline = GetTickCount64() + kGuiTimeoutMs;
    while (IsWindowEnabled(GetDlgItem(dialog, IDC_MAIN_DEVICE_TREE)) &&
           IsWindowEnabled(GetDlgItem(dialog, IDC_MAIN_DELETE))) {
        if (GetTickCount64() >= deadline)
            return false;
        PumpMessagesFor(20);
    }
    return true;
}

} // namespace

SettingsWindow::SettingsWindow(const std::wstring& programPath, const std::wstring& title,
                               const std::wstring& registerTitle)
    : program_(programPath, L""), registerTitle_(registerTitle)
{
    WindowQuery query;
    query.processId = program_.ProcessId();
    query.className = L"#32770";
    query.title = title.c_str();
    const HWND dialog = WaitForTopLevelWindow(query);
    if (!dialog || !AwaitFirstSelection(dialog))
        return;
    // Drawn once before the tests look: a tree may change its items when it first draws.
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    dialog_ = dialog;
}

std::vector<std::wstring> SettingsWindow::Presets() const
{
    return ListBoxEntries(Item(IDC_MAIN_PRESET_LIST));
}

int SettingsWindow::Selection() const
{
    return ListBoxSelection(Item(IDC_MAIN_PRESET_LIST));
}

void SettingsWindow::Select(int entry) const
{
    Send(Item(IDC_MAIN_PRESET_LIST), LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    Notify(LBN_SELCHANGE);
}

void SettingsWindow::Notify(WORD code) const
{
    Send(dialog_, WM_COMMAND, MAKEWPARAM(IDC_MAIN_PRESET_LIST, code),
         reinterpret_cast<LPARAM>(Item(IDC_MAIN_PRESET_LIST)));
}

std::vector<TreeEntry> SettingsWindow::Devices() const
{
    return TreeEntries(Item(IDC_MAIN_DEVICE_TREE));
}

std::vector<std::wstring> SettingsWindow::DeviceNames() const
{
    std::vector<std::wstring> names;
    for (const TreeEntry& entry : Devices())
        names.push_back(entry.text);
    return names;
}

bool SettingsWindow::Check(int device, bool checked) const
{
    const std::vector<TreeEntry> devices = Devices();
    return device < static_cast<int>(devices.size()) &&
           SetTreeCheck(Item(IDC_MAIN_DEVICE_TREE), devices[device].item, checked);
}

void SettingsWindow::Focus(int id) const
{
    Send(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

HWND SettingsWindow::FocusedControl() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &info) ? info.hwndFocus : nullptr;
}

HWND SettingsWindow::PressOkForRegister()
{
    if (!PressButton(dialog_, IDOK))
        return nullptr;
    WindowQuery query;
    query.processId = program_.ProcessId();
    query.className = L"#32770";
    query.title = registerTitle_.c_str();
    return WaitForTopLevelWindow(query);
}

HWND SettingsWindow::PressForMessageBox(HWND dialog, int id)
{
    return PressButton(dialog, id) ? WaitForMessageBox(program_.ProcessId()) : nullptr;
}

bool SettingsWindow::WaitForExit(DWORD timeoutMs)
{
    DWORD exitCode = 0;
    return program_.WaitForExit(&exitCode, timeoutMs);
}

void TypeName(HWND registerDialog, const std::wstring& name)
{
    const HWND field = GetDlgItem(registerDialog, IDC_REGISTER_NAME);
    for (const wchar_t c : name)
        Send(field, WM_CHAR, c, 1);
}

std::wstring NameField(HWND registerDialog)
{
    return DialogItemText(registerDialog, IDC_REGISTER_NAME);
}
