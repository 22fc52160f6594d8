#pragma once

// TALOLauncher.exe of a test install as the settings window meets it: started
// by the test or by the window, its tray menu read as a right click opens it,
// and ended by WM_DESTROY (what its end switch posts), which leaves the
// autostart value alone.
//
//   LauncherUnderTest launcher(Install().LauncherPath());
//   ASSERT_TRUE(launcher.IsRunning());
//   EXPECT_EQ(launcher.MenuPresets(), (std::vector<std::wstring>{L"Office"}));

#include "automation/BuildPrograms.h"

#include <memory>
#include <string>
#include <vector>
#include <windows.h>

class LauncherUnderTest {
public:
    // Starts the launcher at path and waits for its window.
    explicit LauncherUnderTest(const std::wstring& path);
    // The launcher that runs (started by the settings window), waited for up to waitMs.
    explicit LauncherUnderTest(DWORD waitMs);
    ~LauncherUnderTest();
    LauncherUnderTest(const LauncherUnderTest&) = delete;
    LauncherUnderTest& operator=(const LauncherUnderTest&) = delete;

    bool IsRunning() const;
    // Waits for the launcher's end; false when it still runs after timeoutMs.
    bool WaitForEnd(DWORD timeoutMs = 10000) const;

    // The presets its menu lists below the settings item, in order.
    std::vector<std::wstring> MenuPresets() const;

private:
    void Attach(DWORD timeoutMs);

    std::unique_ptr<RunningProgram> started_;
    HWND window_ = nullptr;
    KernelHandle process_;
};
