// A notebook of today (AirvaneSim seed modern) with the English text file that
// ships: the Bluetooth radio on the system's own stack, switches that the class
// installer need not make, and changes that wait for a restart.
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"
#include "sim/SimNotebook.h"
#include "tests/settings/SettingsInstall.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The devices of the modern notebook, numbered as the simulator gives them.
constexpr DWORD kWlan = 1;
constexpr DWORD kRadio = 6;
constexpr DWORD kRadioChildren[] = {7, 8, 9, 10};
constexpr wchar_t kWlanName[] = L"Wi-Fi 6 Wireless Network Adapter";
constexpr wchar_t kWlanHwId[] = L"PCI\\VEN_8086&DEV_A0F0&SUBSYS_00748086&REV_20";
constexpr wchar_t kRestartBox[] = L"Airvane Settings|These devices are switched once the computer restarts:\r\n";

using Lines = std::vector<std::wstring>;

// The class installer's log as AirvaneSim prints it, and then empty.
Lines TakeInstallerLog()
{
    CSimNotebook notebook;
    Lines lines;
    for (const SimInstallerCall& call : notebook.InstallerCalls())
        lines.push_back(std::to_wstring(call.device) + (call.enable ? L" enable " : L" disable ") + call.outcome +
                        (call.quiet ? L"" : L" (not quiet)"));
    notebook.ClearInstallerCalls();
    return lines;
}

bool RadioChildrenPresent(bool present)
{
    CSimNotebook notebook;
    for (DWORD child : kRadioChildren) {
        SimDevice device;
        if (!notebook.ReadDevice(child, device) || device.present != present)
            return false;
    }
    return true;
}

class ModernNotebook : public SettingsProgram {
protected:
    void SetUp() override
    {
        SettingsProgram::SetUp();
        CSimNotebook notebook;
        ASSERT_TRUE(SeedModernNotebook(notebook));
        // Shorter than the radio's real latency: the tests switch it often.
        ASSERT_TRUE(notebook.SetLatency(kRadio, 100));
        ASSERT_TRUE(Install().UseShippedTexts(true));
    }

    void TearDown() override { EXPECT_TRUE(Install().UseShippedTexts(false)); }
};

} // namespace

TEST_F(ModernNotebook, BluetoothSwitchesTheRadioAndItsChildrenFollow)
{
    ASSERT_TRUE(StorePreset(0, L"Radio off", {{L"Bluetooth", L"Bluetooth", L"USB\\", 0}}));
    ASSERT_TRUE(StorePreset(1, L"Radio on", {{L"Bluetooth", L"Bluetooth", L"USB\\", 1}}));
    struct Step {
        const wchar_t* arguments;
        bool radioOn;
        Lines log;
    };
    const Step steps[] = {
        {L"BLUETOOTH=OFF", false, {L"6 disable ok"}},
        {L"bluetooth=on", true, {L"6 enable ok"}},
        {L"/p0", false, {L"6 disable ok"}},
        {L"/p0", false, {}}, // the radio is off already: no call at all
        {L"/p1", true, {L"6 enable ok"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "arguments \"" << std::wstring(step.arguments) << "\"");
        const SettingsRun run = RunSettings(Install(), step.arguments);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ(Lines(), run.boxes);
        EXPECT_EQ(step.log, TakeInstallerLog());
        EXPECT_EQ(!step.radioOn, IsDisabled(kRadio));
        EXPECT_TRUE(RadioChildrenPresent(step.radioOn));
    }
    EXPECT_EQ(1u, RunSettings(Install(), L"STATUS=BLUETOOTH /Q").exitCode) << "the radio is on";
}

TEST_F(ModernNotebook, ChangeThatWaitsForARestartIsReportedOnce)
{
    ASSERT_TRUE(CSimNotebook().SetRestartOnChange(kWlan, true));
    const std::wstring box = kRestartBox + std::wstring(kWlanName);

    SettingsRun run = RunSettings(Install(), L"WLAN=OFF");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(Lines{box}, run.boxes);
    EXPECT_EQ(Lines{L"1 disable restart pending"}, TakeInstallerLog());
    EXPECT_FALSE(IsDisabled(kWlan)) << "the change waits for the restart";
    EXPECT_EQ(Lines(), RunSettings(Install(), L"WLAN=OFF /Q").boxes);

    // The service answers 2; a restart completes the change.
    EXPECT_EQ(2, RequestDisableDevice(L"Net", kWlanHwId));
    ASSERT_TRUE(CSimNotebook().Restart());
    EXPECT_TRUE(IsDisabled(kWlan));
    EXPECT_EQ(0, RequestDisableDevice(L"Net", kWlanHwId)) << "already off: nothing waits";

    ASSERT_TRUE(StorePreset(0, L"On", {{kWlanName, L"Net", kWlanHwId, 1}, {L"Bluetooth", L"Bluetooth", L"USB\\", 1}}));
    run = RunSettings(Install(), L"/p0");
    EXPECT_EQ(Lines{box}, run.boxes);
    EXPECT_TRUE(IsDisabled(kWlan));
    ASSERT_TRUE(CSimNotebook().Restart());
    EXPECT_FALSE(IsDisabled(kWlan));
}
