#pragma once

// The settings window of the tests' install, under the titles of its text file.
//
//   InstalledSettingsWindow window(Install());
//   ASSERT_TRUE(window.IsOpen());

#include "tests/settings/SettingsInstall.h"
#include "tests/support/SettingsWindow.h"

class InstalledSettingsWindow : public SettingsWindow {
public:
    explicit InstalledSettingsWindow(const SettingsInstall& install)
        : SettingsWindow(install.SettingsPath(), kTestWindowTitle, kTestRegisterTitle)
    {
    }
};
