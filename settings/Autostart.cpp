#include "settings/Autostart.h"

#include "catalog/PolicySettings.h"
#include "foundation/CLocalPath.h"
#include "foundation/CcRegistry.h"
#include "foundation/Names.h"
#include "foundation/ProcessStart.h"
#include "settings/SettingsResources.h"

#include <string>

namespace {

constexpr int kPathChars = CLocalPath::kPathChars;
constexpr wchar_t kEndSwitch[] = L" /e";

bool ComposeLauncherPath(wchar_t (&path)[kPathChars])
{
    return CLocalPath::MakeLocalPath(path, kLauncherProgramFile) != 0;
}

// The Run value starts the launcher as a command line: unquoted, a path with a
// blank such as "C:\Program Files\..." would start "C:\Program.exe" first.
std::wstring QuotedPath(const wchar_t* path)
{
    return L"\"" + std::wstring(path) + L"\"";
}

// This launcher's path, quoted as written now or unquoted as earlier versions
// wrote it, compared without regard to case.
bool NamesLauncher(const wchar_t* value, const wchar_t* launcher)
{
    return lstrcmpiW(value, launcher) == 0 || lstrcmpiW(value, QuotedPath(launcher).c_str()) == 0;
}

// Starts the launcher in its folder and forgets it.
void StartLauncher(const wchar_t* path, const wchar_t* arguments)
{
    wchar_t folder[kPathChars];
    if (CLocalPath::MakeLocalPath(folder, L""))
        StartDetachedProgram(path, arguments, folder);
}

} // namespace

void LoadAutostartState(HWND dialog)
{
    const AutostartPolicy policy = ReadAutostartPolicy();
    bool marked = false;
    CcRegistry run;
    wchar_t launcher[kPathChars];
    if (policy != AutostartPolicy::UserDecides) {
        // The user's value follows the policy, and the box shows it, disabled.
        if (run.CreateKey(kRunKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS) && ComposeLauncherPath(launcher)) {
            if (policy == AutostartPolicy::Never)
                run.DeleteValue(kAutostartValue);
            else if (!NamesLauncher(run.GetString(kAutostartValue, L"", 0), launcher))
                run.SetValue(kAutostartValue, QuotedPath(launcher).c_str(), REG_SZ, 0);
        }
        marked = policy == AutostartPolicy::Always;
    } else if (run.OpenKey(kRunKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS) && ComposeLauncherPath(launcher)) {
        marked = NamesLauncher(run.GetString(kAutostartValue, L"", 0), launcher);
    }
    CheckDlgButton(dialog, IDC_MAIN_AUTOSTART, marked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_MAIN_AUTOSTART), policy == AutostartPolicy::UserDecides);
}

void ToggleAutostart(HWND dialog)
{
    // The box is disabled while policy decides, but its command can still be posted.
    if (ReadAutostartPolicy() != AutostartPolicy::UserDecides) {
        LoadAutostartState(dialog);
        return;
    }
    const bool on = IsDlgButtonChecked(dialog, IDC_MAIN_AUTOSTART) == BST_CHECKED;
    CcRegistry run;
    wchar_t launcher[kPathChars];
    if (!run.CreateKey(kRunKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS) || !ComposeLauncherPath(launcher)) {
        CheckDlgButton(dialog, IDC_MAIN_AUTOSTART, BST_UNCHECKED);
        return;
    }
    if (on) {
        run.SetValue(kAutostartValue, QuotedPath(launcher).c_str(), REG_SZ, 0);
        StartLauncher(launcher, L"");
    } else {
        run.DeleteValue(kAutostartValue);
        StartLauncher(launcher, kEndSwitch);
    }
}
