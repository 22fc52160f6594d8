#pragma once

// The settings window of the tests' install, under the titles of its text file.
//
//   InstalledSettingsWindow window(Install());
//   ASSERT_TRUE(window.IsOpen());

#include "automation/SettingsWindow.h"
#include "tests/settings/SettingsInstall.h"

class InstalledSettingsWindow : public SettingsWindow {
public:
    explicit InstalledSettingsWindow(const SettingsInstall& install)
        : SettingsWindow(install.SettingsPath(), kTestWindowTitle, kTestRegisterTitle)
    {
    }
};
