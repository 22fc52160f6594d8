#include "catalog/PolicySettings.h"
#include "catalog/PresetsChangedMsg.h"
#include "foundation/CLocalPath.h"
#include "foundation/CTextMgr.h"
#include "foundation/CcException.h"
#include "foundation/CcRegistry.h"
#include "foundation/Handle.h"
#include "foundation/NamedMutex.h"
#include "foundation/Names.h"
#include "launcher/CommandLine.h"
#include "launcher/LauncherGlobals.h"
#include "launcher/LauncherResources.h"
#include "launcher/LauncherWindow.h"
#include "launcher/PolicyWatch.h"
#include "launcher/ShutdownLevel.h"

#include <memory>
#include <new>
#include <string>

// TALOLauncher.exe: one hidden window per log-on that owns the tray icon and the
// preset menu. Started with /e (or -e, /E, -E) it ends the running launcher and
// removes its autostart value instead.

namespace {

constexpr int kMutexRetries = 120; // a second apart
constexpr DWORD kEndPollMs = 100;
constexpr int kTextChars = 512;

// Another launcher runs: bring it to the front, or end it and remove the autostart value.
void ContactRunningLauncher(KernelHandle instanceMutex, int endRequested)
{
    const HWND running = FindWindowW(kLauncherWindowClass, nullptr);
    if (!running)
        return;
    if (!endRequested) {
        SetForegroundWindow(GetLastActivePopup(running));
        return;
    }
    // WM_DESTROY itself: the window removes its icon and leaves its loop on it.
    PostMessageW(running, WM_DESTROY, 0, 0);
    instanceMutex.Reset();
    // The mutex is gone once the other launcher has ended.
    for (;;) {
        instanceMutex.Reset(CreateMutexW(nullptr, TRUE, kLauncherInstanceMutex));
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
        instanceMutex.Reset();
        Sleep(kEndPollMs);
    }
    CcRegistry run;
    if (run.OpenKey(kRunKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS)) {
        run.DeleteValue(kAutostartValue);
        run.CloseKey(0);
    }
}

// The icon at the small-icon size of the system's DPI, the size at which the
// shell draws notification icons: 16 pixels at 100 %, 24 at 150 %. The launcher
// is DPI-aware (its manifest), so the metrics are the real ones; the resource
// carries 16, 20, 24, 32 and 48 pixel images, so the usual scales need no
// stretching. LoadIconMetric would do the same but loads the common controls,
// which the launcher otherwise never needs, at every log-on.
HICON LoadSmallIcon()
{
    return static_cast<HICON>(LoadImageW(LauncherInstance, MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                         LR_DEFAULTCOLOR));
}

// The Autostart policy: with 0 the launcher does not run and the user's autostart value
// goes; with 1 the value is written when it is missing, so the launcher starts at every
// log-on. False when the launcher is to end.
bool FollowAutostartPolicy()
{
    const AutostartPolicy policy = ReadAutostartPolicy();
    if (policy == AutostartPolicy::UserDecides)
        return true;
    CcRegistry run;
    wchar_t launcher[CLocalPath::kPathChars];
    if (run.CreateKey(kRunKey, HKEY_CURRENT_USER, KEY_ALL_ACCESS) &&
        CLocalPath::MakeLocalPath(launcher, kLauncherProgramFile)) {
        if (policy == AutostartPolicy::Never)
            run.DeleteValue(kAutostartValue);
        else if (run.GetString(kAutostartValue, L"", 0).IsEmpty())
            run.SetValue(kAutostartValue, (L"\"" + std::wstring(launcher) + L"\"").c_str(), REG_SZ, 0);
    }
    return policy != AutostartPolicy::Never;
}

// The message loop, which also waits for a change of the policy keys: policy presets
// reach the menu as the settings program's changes do, and Autostart 0 ends the launcher.
int RunMessageLoop(HWND window, CPolicyWatch& policy)
{
    const auto onPolicyChange = [&policy, window] {
        policy.Arm();
        if (ReadAutostartPolicy() == AutostartPolicy::Never)
            DestroyWindow(window);
        else
            PostMessageW(window, PresetsChangedMsg, 0, 0);
    };
    MSG message = {};
    for (;;) {
        // Each arm of the watch brings its own event.
        HANDLE event = policy.Event();
        const DWORD waited = MsgWaitForMultipleObjectsEx(event ? 1 : 0, &event, INFINITE, QS_ALLINPUT,
                                                         MWMO_INPUTAVAILABLE);
        if (event && waited == WAIT_OBJECT_0)
            onPolicyChange();
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageW(&message);
            // Messages may follow one another without a pause (a menu opened again and again):
            // the change is taken between them, not only once the queue is empty.
            if (policy.Event() && WaitForSingleObject(policy.Event(), 0) == WAIT_OBJECT_0)
                onPolicyChange();
        }
    }
}

bool RegisterLauncherClass()
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = LauncherWndProc;
    windowClass.hInstance = LauncherInstance;
    windowClass.hIcon = LoadIconW(LauncherInstance, MAKEINTRESOURCEW(IDI_LAUNCHER));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = kLauncherWindowClass;
    windowClass.hIconSm = LoadSmallIcon();
    return RegisterClassExW(&windowClass) != 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const int endRequested = ReadEndSwitch(GetCommandLineW());
    // Owned for the launcher's whole life. Retried while a mutex of that name
    // exists that this user may not open.
    NamedMutex instanceMutex = CreateNamedMutex(kLauncherInstanceMutex, nullptr, true, kMutexRetries);
    if (!instanceMutex.handle)
        return 0;
    if (instanceMutex.alreadyExisted) {
        ContactRunningLauncher(std::move(instanceMutex.handle), endRequested);
        return 0;
    }
    // Watched before the policy is first read, so that a change made meanwhile is not missed.
    CPolicyWatch policy;
    if (endRequested || !FollowAutostartPolicy())
        return 0;

    LauncherInstance = instance;
    TaskbarCreatedMsg = RegisterWindowMessageW(kTaskbarCreatedMessage);
    LowerShutdownLevel();
    TrayIconImage = LoadSmallIcon();

    wchar_t textFile[CLocalPath::kPathChars] = L"";
    CLocalPath::FindLanguageFile(textFile, kTextFile);
    const std::unique_ptr<CTextMgr> texts(
        CheckAllocation(new (std::nothrow) CTextMgr(textFile, kLauncherSection, kTextChars)));
    LoadLauncherTexts(*texts, &Texts);

    if (!RegisterLauncherClass())
        return 0;
    const HWND window = CreateWindowExW(0, kLauncherWindowClass, L"", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, nullptr,
                                        nullptr, instance, nullptr);
    if (!window)
        return 0;
    // Started again after the Restart Manager closed it for an update of the package; not after a
    // crash, a hang or a reboot (the autostart value starts it at the next log-on).
    RegisterApplicationRestart(L"", RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
    return RunMessageLoop(window, policy);
}
