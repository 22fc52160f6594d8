#include "tests/settings/LauncherUnderTest.h"

#include "automation/GuiWindows.h"
#include "foundation/Names.h"
#include "launcher/LauncherWindow.h"
#include "tests/launcher/MenuProbe.h"

LauncherUnderTest::LauncherUnderTest(const std::wstring& path)
    : started_(std::make_unique<RunningProgram>(path, L""))
{
    Attach(kGuiTimeoutMs);
}

LauncherUnderTest::LauncherUnderTest(DWORD waitMs)
{
    Attach(waitMs);
}

LauncherUnderTest::~LauncherUnderTest()
{
    if (IsRunning()) {
        PostMessageW(window_, WM_DESTROY, 0, 0);
        WaitForEnd();
    }
}

// The window is hidden; the switching service's window of the same class lives
// on a desktop of its own.
void LauncherUnderTest::Attach(DWORD timeoutMs)
{
    WindowQuery query;
    query.processId = started_ ? started_->ProcessId() : 0;
    query.className = kLauncherWindowClass;
    query.visibleOnly = false;
    window_ = WaitForTopLevelWindow(query, timeoutMs);
    DWORD processId = 0;
    if (window_ && GetWindowThreadProcessId(window_, &processId))
        process_.Reset(OpenProcess(SYNCHRONIZE, FALSE, processId));
}

bool LauncherUnderTest::IsRunning() const
{
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool LauncherUnderTest::WaitForEnd(DWORD timeoutMs) const
{
    return !process_ || WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

std::vector<std::wstring> LauncherUnderTest::MenuPresets() const
{
    std::vector<std::wstring> presets;
    MenuProbe probe(window_);
    DWORD processId = 0;
    GetWindowThreadProcessId(window_, &processId);
    PostMessageW(window_, TrayCallbackMsg, 0, WM_RBUTTONUP);
    WindowQuery query;
    query.processId = processId;
    query.className = L"#32768";
    const HWND menu = WaitForTopLevelWindow(query);
    MenuProbeReport report;
    if (menu && probe.Read(&report)) {
        for (int i = 0; i < report.count; ++i) {
            if (report.items[i].id >= ID_MENU_PRESET_BASE)
                presets.push_back(report.items[i].text);
        }
    }
    PostMessageW(window_, WM_KEYDOWN, VK_ESCAPE, 0); // the menu's loop reads the launcher's keys
    WaitForWindowGone(menu);
    return presets;
}
