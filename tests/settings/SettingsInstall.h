#pragma once

// End-to-end tests of TALOSetting.exe on the simulated notebook. The programs of
// sim/bin are installed into a folder of the test's own, beside its text file,
// and TALOService.exe runs from there under the prefix's service manager, on
// the machine's default simulated notebook. Everything the tests change (the
// notebook, the product's keys, the presets) is restored when the program ends.

#include "tests/support/TempFolder.h"
#include "tests/support/TestPresets.h"

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

// The devices of the tests' notebook: the demo notebook with a second WLAN
// adapter and a third modem sub-device. Numbers as the simulator gives them.
namespace testdevice {
constexpr DWORD kWlan = 1;
constexpr DWORD kModemRoot = 3;
constexpr DWORD kModemPort = 4;  // sub-device 0
constexpr DWORD kModem = 5;      // sub-device 1
constexpr DWORD kSecondWlan = 7;
constexpr DWORD kModemDiag = 8;  // sub-device 2
constexpr wchar_t kWlanHwId[] = L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01";
constexpr wchar_t kSecondWlanHwId[] = L"PCI\\VEN_8086&DEV_4229&SUBSYS_11018086&REV_61";
constexpr wchar_t kWlanName[] = L"802.11n Wireless LAN Adapter";
constexpr wchar_t kSecondWlanName[] = L"Second Wireless Adapter";
} // namespace testdevice

// A hardware-ID prefix of 127 characters, the most a text file's field holds.
std::wstring LongHwIdPrefix();

// The section MANY of the install's text file lists kManyEntries devices, all with
// the hardware-ID prefix kManyHwId (no device of the notebook has it unless a test
// adds one), the i-th under the name ManyName(i).
constexpr int kManyEntries = 105;
constexpr wchar_t kManyHwId[] = L"USB\\VID_0A0A&PID_0101";
std::wstring ManyName(int i);

// The install's texts that the tests see.
constexpr wchar_t kTestWindowTitle[] = L"Airvane Settings Test";
constexpr wchar_t kTestProgressTitle[] = L"Airvane Test - Switching Devices";
constexpr wchar_t kTestRegisterTitle[] = L"Register Preset Test";

class SettingsInstall {
public:
    static constexpr wchar_t kInstallFolder[] = L"Air vane\\";

    SettingsInstall();
    ~SettingsInstall();
    SettingsInstall(const SettingsInstall&) = delete;
    SettingsInstall& operator=(const SettingsInstall&) = delete;

    bool IsReady() const { return ready_; }

    // The programs' folder, with a blank in its name as under "Program Files";
    // its parent is a folder of the test's own.
    std::wstring Folder() const;
    std::wstring ParentFolder() const { return folder_.Path(); }
    std::wstring SettingsPath() const { return Folder() + L"TALOSetting.exe"; }
    std::wstring LauncherPath() const { return Folder() + L"TALOLauncher.exe"; }

    // Puts the English text file that ships beside the programs in place of the
    // tests' own, or (shipped false) the tests' own back.
    bool UseShippedTexts(bool shipped) const;

private:
    TempFolder folder_;
    bool ready_ = false;
};

// Seeds the notebook afresh and removes the presets, the device list, the
// companion's keys and the companion probe's record.
bool ResetMachine();

bool IsDisabled(DWORD device);
// The devices whose state changed since the last reset, in order, as "7 off", "3 on".
std::vector<std::wstring> StateChanges();

// The companion program: its path under HKLM, the flag the service writes, the probe's starts.
void SetCompanionPath(const std::wstring& path);
bool ReadAdmission(DWORD* value);
DWORD CompanionRuns();
std::wstring CompanionProbePath();

// One run of the installed TALOSetting.exe. Each message box is recorded as
// "caption|text", shown to atBox (if given) and answered with OK.
struct SettingsRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<std::wstring> boxes;
};
SettingsRun RunSettings(const SettingsInstall& install, const std::wstring& arguments,
                        const std::function<void(HWND box)>& atBox = nullptr);

#include <gtest/gtest.h>

// The fixture of the end-to-end tests: one install for the test program, and a
// freshly seeded machine for each test.
class SettingsProgram : public testing::Test {
protected:
    void SetUp() override;
    static const SettingsInstall& Install();
};
