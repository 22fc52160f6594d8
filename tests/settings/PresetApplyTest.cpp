// Applying stored presets with "/p<n>" on the simulated notebook, with the service running.
#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/Screenshot.h"
#include "catalog/PresetApply.h"
#include "devices/BtSwCodes.h"
#include "sim/SimNotebook.h"
#include "tests/settings/SettingsInstall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace testdevice;

namespace {

using Boxes = std::vector<std::wstring>;
using Changes = std::vector<std::wstring>;

constexpr DWORD kModemParts[] = {kModemRoot, kModemPort, kModem, kModemDiag};

bool RadioIsOn()
{
    for (const SimInterface& entry : CSimNotebook().Interfaces()) {
        if (IsEqualGUID(entry.interfaceGuid, GUID_BTSW_RADIO) && entry.present)
            return true;
    }
    return false;
}

HWND WaitForNotice(DWORD processId)
{
    WindowQuery query;
    query.processId = processId;
    query.className = L"#32770";
    query.title = kTestProgressTitle;
    return WaitForTopLevelWindow(query);
}

int VisibleWindowsOf(DWORD processId)
{
    struct Count {
        DWORD processId;
        int windows;
    } count = {processId, 0};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* count = reinterpret_cast<Count*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            count->windows += owner == count->processId && IsWindowVisible(window) ? 1 : 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

bool AwaitCompanionRuns(DWORD runs)
{
    for (int i = 0; i < 100 && CompanionRuns() < runs; ++i)
        Sleep(100);
    return CompanionRuns() == runs;
}

// Records what preset application reports, one line per call.
class RecordedProgress final : public IPresetProgress {
public:
    void Started() override { events.push_back(L"started"); }
    void DeviceSwitched(const wchar_t* name, bool on) override { Add(L"switched ", name, on); }
    void DeviceFailed(const wchar_t* name, bool on) override { Add(L"failed ", name, on); }
    void Finished() override { events.push_back(L"finished"); }

    std::vector<std::wstring> events;

private:
    void Add(const wchar_t* what, const wchar_t* name, bool on)
    {
        events.push_back(what + std::wstring(name) + (on ? L" on" : L" off"));
    }
};

class PresetApplication : public SettingsProgram {
protected:
    void DisableModem()
    {
        for (DWORD device : kModemParts)
            ASSERT_TRUE(notebook_.SetDisabled(device, false, true));
    }

    CSimNotebook notebook_;
};

} // namespace

TEST_F(PresetApplication, PutsEveryDeviceInItsStoredState)
{
    DisableModem();
    StorePreset(0, L"Travel",
                {{kWlanName, L"Net", kWlanHwId, 0},
                 {kSecondWlanName, L"Net", kSecondWlanHwId, 2},
                 {L"Bluetooth", L"#kvbt#", L"#KVBT#", 0},
                 {L"UMTS modem", L"#UMTS#", L"USB\\VID_1E0E&PID_9001", 1}});
    StorePreset(1, L"Radio", {{L"Bluetooth", L"#KvBt#", L"#KVBT#", 1}});

    SettingsRun run = RunSettings(Install(), L"/p0");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(Boxes(), run.boxes);
    EXPECT_EQ((Changes{L"1 off", L"7 off", L"3 on", L"4 on", L"5 on", L"8 on"}), StateChanges());
    EXPECT_FALSE(RadioIsOn());
    const std::vector<DWORD> codes = CSimNotebook().BluetoothCodes();
    EXPECT_NE(codes.end(), std::find(codes.begin(), codes.end(), static_cast<DWORD>(IOCTL_BTSW_OFF)));
    DWORD admission = 0;
    EXPECT_FALSE(ReadAdmission(&admission)) << "written without a companion program";

    run = RunSettings(Install(), L"/p1");
    EXPECT_EQ(Boxes(), run.boxes);
    EXPECT_TRUE(RadioIsOn());
}

TEST_F(PresetApplication, FailingDeviceIsWarnedOfOnceAndTheNextStillSwitches)
{
    SetCompanionPath(CompanionProbePath());
    ASSERT_TRUE(notebook_.SetFailures(kWlan, simfail::kClassInstaller));
    StorePreset(0, L"Quiet", {{kWlanName, L"Net", kWlanHwId, 0}, {kSecondWlanName, L"Net", kSecondWlanHwId, 0}});

    bool nextWaited = false;
    bool noticeShown = false;
    const SettingsRun run = RunSettings(Install(), L"/p0", [&](HWND box) {
        nextWaited = !IsDisabled(kSecondWlan);
        DWORD processId = 0;
        GetWindowThreadProcessId(box, &processId);
        noticeShown = WaitForNotice(processId) != nullptr;
        EXPECT_TRUE(SaveDesktopScreenshot(L"preset-warning"));
    });
    EXPECT_EQ(0u, run.exitCode);
    // The text file's hostile format is shown as it stands, the device named below it.
    EXPECT_EQ(Boxes{std::wstring(kTestWindowTitle) + L"|%d %s %n %x\r\n" + kWlanName}, run.boxes);
    EXPECT_TRUE(nextWaited) << "the next device was switched before the warning was closed";
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(Changes{L"7 off"}, StateChanges());
    DWORD admission = 1;
    EXPECT_TRUE(ReadAdmission(&admission));
    EXPECT_EQ(0u, admission);
    EXPECT_EQ(0u, CompanionRuns());
}

TEST_F(PresetApplication, ModemThatFailsToSwitchOnIsSwitchedOffAgain)
{
    DisableModem();
    ASSERT_TRUE(notebook_.SetFailures(kModem, simfail::kEnable));
    StorePreset(0, L"Online", {{L"UMTS modem", L"#UMTS#", L"USB\\VID_1E0E&PID_9001", 1}});
    const SettingsRun run = RunSettings(Install(), L"/p0");
    EXPECT_EQ(Boxes{std::wstring(kTestWindowTitle) + L"|Could not switch on:\r\nUMTS modem"}, run.boxes);
    // Root, then sub-device 0 on; sub-device 1 refuses; then 2, 1, 0 and the root off.
    EXPECT_EQ((Changes{L"3 on", L"4 on", L"4 off", L"3 off"}), StateChanges());
    for (DWORD device : kModemParts)
        EXPECT_TRUE(IsDisabled(device)) << "device " << device;
}

TEST_F(PresetApplication, CompanionIsStartedOnlyWhenEveryDeviceWasToBeOn)
{
    StorePreset(0, L"All on", {{kWlanName, L"Net", kWlanHwId, 1}});
    SetCompanionPath(CompanionProbePath());
    EXPECT_EQ(Boxes(), RunSettings(Install(), L"/p0").boxes);
    DWORD admission = 0;
    EXPECT_TRUE(ReadAdmission(&admission));
    EXPECT_EQ(1u, admission);
    EXPECT_TRUE(AwaitCompanionRuns(1));

    // A path longer than its buffer is refused, not cut: nothing is written or started.
    ASSERT_TRUE(ResetMachine());
    StorePreset(0, L"All on", {{kWlanName, L"Net", kWlanHwId, 1}});
    SetCompanionPath(std::wstring(MAX_PATH - CompanionProbePath().size(), L'\\') + CompanionProbePath());
    EXPECT_EQ(Boxes(), RunSettings(Install(), L"/p0").boxes);
    EXPECT_FALSE(ReadAdmission(&admission));
    Sleep(500);
    EXPECT_EQ(0u, CompanionRuns());
}

TEST_F(PresetApplication, EmptyPresetGrantsAdmission)
{
    TaloPresetList presets;
    presets.SetSize(1);
    SetCompanionPath(CompanionProbePath());
    RecordedProgress progress;
    ApplyPreset(presets, 0, nullptr, progress);
    EXPECT_EQ((Changes{L"started", L"finished"}), progress.events);
    DWORD admission = 0;
    EXPECT_TRUE(ReadAdmission(&admission));
    EXPECT_EQ(1u, admission);
    EXPECT_TRUE(AwaitCompanionRuns(1));
}

TEST_F(PresetApplication, ProgressHearsOfEachDeviceInOrderOnceItIsSwitched)
{
    ASSERT_TRUE(notebook_.SetFailures(kWlan, simfail::kClassInstaller));
    TaloPresetList presets;
    presets.SetSize(1);
    const StoredDevice devices[] = {{kWlanName, L"Net", kWlanHwId, 0},
                                    {L"Modem root", L"USB", L"USB\\VID_1E0E&PID_9001", 2},
                                    {L"UMTS modem", L"#UMTS#", L"USB\\VID_1E0E&PID_9001", 1},
                                    {L"Bluetooth", L"#KVBT#", L"#KVBT#", 0}};
    presets[0].Devices.SetSize(ARRAYSIZE(devices));
    for (int i = 0; i < presets[0].Devices.GetSize(); ++i) {
        presets[0].Devices[i].DeviceName = devices[i].name.c_str();
        presets[0].Devices[i].Class = devices[i].className.c_str();
        presets[0].Devices[i].HwId = devices[i].hwId.c_str();
        presets[0].Devices[i].Setting = devices[i].setting;
    }

    // The modem needs the catalog: without one its record fails like a missing
    // modem. The modem's root is a pair the text file names, so the service switches
    // it without the catalog registering anything first.
    RecordedProgress progress;
    ApplyPreset(presets, 0, nullptr, progress);
    EXPECT_EQ((Changes{L"started", std::wstring(L"failed ") + kWlanName + L" off",
                       L"switched Modem root off", L"failed UMTS modem on",
                       L"switched Bluetooth off", L"finished"}),
              progress.events);
    EXPECT_EQ(Changes{L"3 off"}, StateChanges());

    for (const int index : {-1, 1}) {
        RecordedProgress none;
        ApplyPreset(presets, index, nullptr, none);
        EXPECT_EQ(Changes(), none.events) << "index " << index;
    }
}

TEST_F(PresetApplication, NumberThatNamesNoPresetSwitchesNothing)
{
    for (const wchar_t* arguments : {L"/p-1", L"/p1", L"/p2147483648", L"/p99999999999", L"/p0"}) {
        SCOPED_TRACE(testing::Message() << "arguments \"" << std::wstring(arguments) << "\"");
        const bool stored = std::wstring(arguments) != L"/p0";
        if (stored)
            StorePreset(0, L"Off", {{kWlanName, L"Net", kWlanHwId, 0}});
        else
            ASSERT_TRUE(ResetMachine()); // no presets at all
        const SettingsRun run = RunSettings(Install(), arguments);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ(Boxes(), run.boxes);
        EXPECT_EQ(Changes(), StateChanges());
    }
}

TEST_F(PresetApplication, NoticeIsShownAloneWhileThePresetIsApplied)
{
    ASSERT_TRUE(notebook_.SetBluetoothSwitch(3000, false)); // the radio takes its time to go
    StorePreset(0, L"No radio", {{L"Bluetooth", L"#KVBT#", L"#KVBT#", 0}});
    RunningProgram settings(Install().SettingsPath(), L"/p0");
    const HWND notice = WaitForNotice(settings.ProcessId());
    ASSERT_NE(nullptr, notice);
    EXPECT_EQ(1, VisibleWindowsOf(settings.ProcessId()));
    EXPECT_TRUE(SaveWindowScreenshot(notice, L"progress-p0"));
    EXPECT_TRUE(SaveDesktopScreenshot(L"progress-p0-desktop"));
    DWORD exitCode = 1;
    EXPECT_TRUE(settings.WaitForExit(&exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(IsWindow(notice));
    EXPECT_FALSE(RadioIsOn());
}
