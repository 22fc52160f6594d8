// TALOSetting.exe's command line on the simulated notebook, with the service running.
#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "sim/SimNotebook.h"
#include "tests/settings/SettingsInstall.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testdevice;

namespace {

using Boxes = std::vector<std::wstring>;

std::wstring SwitchError(const std::wstring& text)
{
    return L"Device Switch Error - Airvane|" + text;
}

class CommandLine : public SettingsProgram {};

} // namespace

TEST_F(CommandLine, StatusIsTheExitCode)
{
    struct Case {
        bool firstOff, secondOff, present;
        const wchar_t* arguments;
        DWORD exitCode;
        Boxes boxes;
    };
    const Case cases[] = {
        {false, true, true, L"STATUS=WLAN", 1, {L"Device Status - Airvane|WLAN is enabled."}},
        {true, true, true, L"/status wlan", 0, {L"Device Status - Airvane|WLAN is disabled."}},
        {false, false, false, L"STATUS=WLAN", 4, {L"Device Status - Airvane|WLAN is not presented."}},
        {false, true, true, L"status=wlan /q", 1, {}},
        {false, false, false, L"/Q STATUS WLAN", 4, {}},
        {false, false, true, L"STATUS=P1", 4, {L"Device Status - Airvane|P1 is not presented."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "arguments \"" << std::wstring(c.arguments) << "\"");
        ASSERT_TRUE(ResetMachine());
        // A disabled adapter is no longer seen as WLAN: it is found because a first run registered it.
        ASSERT_EQ(1u, RunSettings(Install(), L"STATUS=WLAN /Q").exitCode);
        CSimNotebook notebook;
        ASSERT_TRUE(notebook.SetDisabled(kWlan, false, c.firstOff));
        ASSERT_TRUE(notebook.SetDisabled(kSecondWlan, false, c.secondOff));
        ASSERT_TRUE(notebook.SetPresent(kWlan, c.present) && notebook.SetPresent(kSecondWlan, c.present));
        const SettingsRun run = RunSettings(Install(), c.arguments);
        EXPECT_EQ(c.exitCode, run.exitCode);
        EXPECT_EQ(c.boxes, run.boxes);
        EXPECT_TRUE(StateChanges().empty());
    }
}

TEST_F(CommandLine, SwitchesTheTypesInTheOrderGiven)
{
    CSimNotebook notebook;
    for (DWORD device : {kModemRoot, kModemPort, kModem, kModemDiag})
        ASSERT_TRUE(notebook.SetDisabled(device, false, true));
    const SettingsRun run = RunSettings(Install(), L"WLAN=OFF UMTS=ON");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(Boxes(), run.boxes);
    // Both adapters off (in the order the network cards are listed), then the
    // modem on: root first, then its sub-devices upwards.
    EXPECT_EQ((std::vector<std::wstring>{L"7 off", L"1 off", L"3 on", L"4 on", L"5 on", L"8 on"}), StateChanges());
}

TEST_F(CommandLine, ValuesOtherThanOnOrOffSwitchNothing)
{
    struct Case {
        const wchar_t* arguments;
        Boxes boxes;
        std::vector<std::wstring> changes;
    };
    const Case cases[] = {
        {L"WLAN=MAYBE", {L"Parameter Error - Airvane|Invalid device status was specified in command line."}, {}},
        {L"WLAN", {L"Parameter Error - Airvane|Invalid device status was specified in command line."}, {}},
        {L"WLAN=OFF/Q", {}, {}}, // the value is "OFF/Q", and the line holds "/Q"
        {L"/P1 WLAN=MAYBE /q", {}, {}},
        {L"/P1=OFF", {}, {}}, // not the preset form: a type without devices
        {L"WLAN=OFF /Q", {}, {L"7 off", L"1 off"}},
        {L"WLAN=MAYBE wlan=off", {L"Parameter Error - Airvane|Invalid device status was specified in command line."},
         {L"7 off", L"1 off"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "arguments \"" << std::wstring(c.arguments) << "\"");
        ASSERT_TRUE(ResetMachine());
        const SettingsRun run = RunSettings(Install(), c.arguments);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ(c.boxes, run.boxes);
        EXPECT_EQ(c.changes, StateChanges());
    }
}

TEST_F(CommandLine, EachFailingDeviceIsReportedAndTheOthersStillSwitch)
{
    CSimNotebook notebook;
    ASSERT_TRUE(notebook.SetFailures(kWlan, simfail::kClassInstaller));
    ASSERT_TRUE(notebook.SetFailures(kModem, simfail::kEnable));
    for (DWORD device : {kModemRoot, kModemPort, kModem, kModemDiag})
        ASSERT_TRUE(notebook.SetDisabled(device, false, true));
    const SettingsRun run = RunSettings(Install(), L"wlan=off umts=on");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ((Boxes{SwitchError(std::wstring(kWlanName) + L" Disable Failed"), SwitchError(L"UMTS Enable Failed")}),
              run.boxes);
    EXPECT_EQ((std::vector<std::wstring>{L"7 off", L"3 on", L"4 on"}), StateChanges());

    ASSERT_TRUE(ResetMachine());
    ASSERT_TRUE(notebook.SetFailures(kModemPort, simfail::kClassInstaller));
    EXPECT_EQ(Boxes{SwitchError(L"UMTS Didable Failed")}, RunSettings(Install(), L"UMTS=OFF").boxes);
    EXPECT_EQ(Boxes(), RunSettings(Install(), L"UMTS=OFF /Q").boxes);
}

TEST_F(CommandLine, UmtsPrefixTooLongForItsFieldIsNotCut)
{
    CSimNotebook notebook;
    ASSERT_TRUE(notebook.SetPresent(kModemRoot, false)); // the second modem entry is the one present
    SimDevice device;
    device.className = L"Ports";
    device.hardwareIds = {LongHwIdPrefix() + L"B"};
    device.description = L"Long";
    device.disabledConfig = true;
    const DWORD number = notebook.AddDevice(device);
    ASSERT_NE(0u, number);
    EXPECT_EQ(Boxes{SwitchError(L"UMTS Enable Failed")}, RunSettings(Install(), L"UMTS=ON").boxes);
    EXPECT_TRUE(IsDisabled(number));
    // The prefix cut to its field names this device, and the service would switch it.
    EXPECT_EQ(Boxes(), RunSettings(Install(), L"LONGIDS=ON").boxes);
    EXPECT_FALSE(IsDisabled(number));
}

TEST_F(CommandLine, DoesNothingWhileAnotherSettingsProgramRuns)
{
    KernelHandle other(CreateMutexW(nullptr, TRUE, kSettingsInstanceMutex));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
    StorePreset(0, L"Off", {{kWlanName, L"Net", kWlanHwId, 0}});
    for (const wchar_t* arguments : {L"STATUS=WLAN", L"WLAN=OFF", L"WLAN=MAYBE", L"/p0", L""}) {
        SCOPED_TRACE(testing::Message() << "arguments \"" << std::wstring(arguments) << "\"");
        const SettingsRun run = RunSettings(Install(), arguments);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ(Boxes(), run.boxes);
    }
    EXPECT_TRUE(StateChanges().empty());
}

TEST_F(CommandLine, EndClosesTheRunningSettingsWindow)
{
    RunningProgram settings(Install().SettingsPath(), L"");
    WindowQuery query;
    query.processId = settings.ProcessId();
    query.title = kTestWindowTitle;
    const HWND window = WaitForTopLevelWindow(query);
    ASSERT_NE(nullptr, window);

    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(0u, RunSettings(Install(), L"/E").exitCode);
    DWORD exitCode = 1;
    EXPECT_TRUE(settings.WaitForExit(&exitCode, 10000));
    EXPECT_EQ(0u, exitCode);
    EXPECT_LT(GetTickCount64() - start, 5000u);
}

namespace {

std::vector<ULONGLONG> closeRequests;

// A settings window that will not close.
INT_PTR CALLBACK StubbornDialog(HWND, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) {
        closeRequests.push_back(GetTickCount64());
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

} // namespace

TEST_F(CommandLine, EndAsksAWindowThatStaysFiveTimesOneSecondApart)
{
    KernelHandle other(CreateMutexW(nullptr, TRUE, kSettingsInstanceMutex));
    static_assert(sizeof(DLGTEMPLATE) == 18, "the template's header is packed");
    struct alignas(4) {
        DLGTEMPLATE header;
        WORD menu;
        WORD windowClass;
        wchar_t title[ARRAYSIZE(kTestWindowTitle)];
    } dialogTemplate = {{WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 10, 10, 120, 40}, 0, 0, {}};
    wcscpy_s(dialogTemplate.title, kTestWindowTitle);
    const HWND stubborn = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.header, nullptr,
                                                     StubbornDialog, 0);
    ASSERT_NE(nullptr, stubborn);
    closeRequests.clear();

    RunningProgram end(Install().SettingsPath(), L"/e");
    DWORD exitCode = 1;
    while (!end.WaitForExit(&exitCode, 0) && closeRequests.size() < 10)
        PumpMessagesFor(50);
    EXPECT_TRUE(end.WaitForExit(&exitCode, 10000));
    EXPECT_EQ(0u, exitCode);
    PumpMessagesFor(200);
    ASSERT_EQ(5u, closeRequests.size());
    for (size_t i = 1; i < closeRequests.size(); ++i)
        EXPECT_GE(closeRequests[i] - closeRequests[i - 1], 900u) << "request " << i;
    DestroyWindow(stubborn);
}
