// TALOSetting.exe: the settings window, or one task from the command line:
// "/e" closes a running settings window, "/p<n>" applies stored preset n, and
// STATUS or ON/OFF words report or switch device types (CommandLineMode.h).
// "/p<n> /Q" re-applies preset n quietly for the launcher (QuietProgress.h).
#include "catalog/PresetApply.h"
#include "catalog/PresetInForce.h"
#include "foundation/CLocalPath.h"
#include "foundation/CTextMgr.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "settings/CommandLineMode.h"
#include "settings/MainDialog.h"
#include "settings/ProgressWindow.h"
#include "settings/QuietProgress.h"
#include "settings/SettingsProcess.h"
#include "settings/SettingsResources.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <strsafe.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr wchar_t kEndArgument[] = L"/e";
constexpr int kTextValueChars = 512;
constexpr int kCloseRequests = 5;
constexpr DWORD kCloseIntervalMs = 1000;
constexpr wchar_t kDialogClass[] = L"#32770";

// The program's text manager for the length of wWinMain, withdrawn before it goes.
class ProgramTexts {
public:
    ProgramTexts()
    {
        wchar_t path[MAX_PATH] = L"";
        CLocalPath::FindLanguageFile(path, kTextFile); // none found: every text reads empty
        texts_ = std::make_unique<CTextMgr>(path, kSettingsSection, kTextValueChars);
        g_textMgr = texts_.get();
        StringCchCopyW(g_windowTitle, kWindowTitleChars, texts_->GetText(kSettingsWindowTitleKey));
    }

    ~ProgramTexts() { g_textMgr = nullptr; }

    ProgramTexts(const ProgramTexts&) = delete;
    ProgramTexts& operator=(const ProgramTexts&) = delete;

private:
    std::unique_ptr<CTextMgr> texts_;
};

// The settings window's tree view and hotkey controls need their classes registered. comctl32 is
// loaded for the window alone: its start-up connects to the display and loads
// the visual theme, which costs a command-line run several times a bare
// program's start. With common controls 6 (the manifest), InitCommonControls
// registers nothing: the classes are asked for by name.
void InitCommonControlsForWindow()
{
    static const Library controls(LoadLibraryW(L"comctl32.dll"));
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const FARPROC init = controls ? GetProcAddress(controls.Get(), "InitCommonControlsEx") : nullptr;
    if (!init)
        return;
    const INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_TREEVIEW_CLASSES | ICC_HOTKEY_CLASS};
    reinterpret_cast<InitFunction>(reinterpret_cast<void (*)(void)>(init))(&classes);
}

// The settings window until it is closed. A dialog that cannot be created
// ends the program at once: no window could end the message loop.
void RunSettingsWindow()
{
    InitCommonControlsForWindow();
    const HWND dialog = CreateDialogParamW(g_instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDlgProc, 0);
    if (!dialog)
        return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// "/e" while another instance runs: asks its settings window, found by its
// title, to close: WM_CLOSE at most five times, one second apart, until the
// window is gone.
void CloseRunningSettingsWindow(const wchar_t* windowTitle)
{
    // An empty title would match any untitled dialog of any program.
    if (windowTitle[0] == L'\0')
        return;
    const HWND window = FindWindowW(kDialogClass, windowTitle);
    for (int i = 0; i < kCloseRequests; ++i) {
        if (!IsWindow(window) || !GetLastActivePopup(window))
            return;
        PostMessageW(window, WM_CLOSE, 0, 0);
        Sleep(kCloseIntervalMs);
    }
}

bool IsPresetArgument(const wchar_t* argument)
{
    return argument[0] == L'/' && argument[1] == L'p';
}

bool HasQuietArgument(const wchar_t* const* argv, int argumentCount)
{
    for (int i = 2; i < argumentCount; ++i) {
        if (lstrcmpiW(argv[i], L"/Q") == 0)
            return true;
    }
    return false;
}

// "/p<n>": applies stored preset n with the notice and the boxes, and makes it the preset in force.
int ApplyStoredPreset(int index)
{
    if (index < 0 || index >= g_presets.GetSize())
        return 0;
    RecordPresetInForce(index, g_presets[index].Name);
    CPresetProgress progress(nullptr, g_textMgr);
    ApplyPreset(g_presets, index, &g_catalog, progress);
    return 0;
}

// "/p<n> /Q": the same without a notice or a box; what changed or failed goes to
// the launcher as the exit code and the notice's text.
int ReapplyStoredPreset(int index)
{
    WriteReapplyNotice(L"");
    if (index < 0 || index >= g_presets.GetSize())
        return kReapplyUnchanged;
    RecordPresetInForce(index, g_presets[index].Name);
    CQuietProgress progress(g_presets[index], g_catalog, g_textMgr);
    // Most re-applies find every device as the preset wants it: no request then.
    ApplyPreset(g_presets, index, &g_catalog, progress, PresetSwitching::DevicesThatDiffer);
    WriteReapplyNotice(progress.Notice().c_str());
    return progress.ExitCode();
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR argumentText, int)
{
    g_instance = instance;
    ProgramTexts texts;

    int argumentCount = 0;
    LocalMemory arguments(CommandLineToArgvW(GetCommandLineW(), &argumentCount));
    const wchar_t* const* argv = static_cast<const wchar_t* const*>(arguments.Get());
    const wchar_t* first = argv && argumentCount >= 2 ? argv[1] : nullptr;

    if (InstanceGuard().Check(kSettingsInstanceMutex) != CcCheckDualExec::kFirstInstance) {
        if (first && lstrcmpiW(first, kEndArgument) == 0)
            CloseRunningSettingsWindow(g_windowTitle);
        return 0;
    }
    if (!first) {
        RunSettingsWindow();
        return 0;
    }
    if (lstrcmpiW(first, kEndArgument) == 0)
        return 0;
    if (IsPresetArgument(first)) {
        const int index = _wtoi(first + 2);
        return HasQuietArgument(argv, argumentCount) ? ReapplyStoredPreset(index) : ApplyStoredPreset(index);
    }
    return RunCommandLineMode(g_catalog, argumentText, g_textMgr);
}
