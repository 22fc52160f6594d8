#pragma once

// A test program's global environment for end-to-end tests: TALOService.exe of
// the simulated notebook installed and started before the first test, stopped
// and removed after the last. The service reads the machine's default simulated
// notebook, never a test's own, so that one is cleared at the end.

#include "automation/InstalledService.h"
#include "sim/SimNotebook.h"

#include <gtest/gtest.h>

class InstalledServiceEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        SetEnvironmentVariableW(L"AIRVANE_SIM_ROOT", nullptr);
        installed_ = InstallAndStartService();
    }
    void TearDown() override
    {
        StopAndRemoveService();
        CSimNotebook().Clear();
    }
    static bool Installed() { return installed_; }

private:
    static inline bool installed_ = false;
};

// A test on the installed service: running, on a freshly seeded demo notebook.
class InstalledServiceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InstalledServiceEnvironment::Installed()) << "sc create / net start failed";
        if (ServiceState() != SERVICE_RUNNING) {
            ASSERT_TRUE(StartInstalledService());
        }
        CSimNotebook notebook;
        ASSERT_EQ(SeedDemoNotebook(notebook), 1);
    }
};
