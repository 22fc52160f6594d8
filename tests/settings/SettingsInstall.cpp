#include "tests/settings/SettingsInstall.h"

#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/InstalledService.h"
#include "automation/ProgramRunner.h"
#include "automation/RegistrySnapshot.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "sim/SimNotebook.h"

#include <memory>

namespace {

// ERROR_DISABLE, MSG_DELETEPRESET and ERROR_INPUTNAME are hostile on purpose:
// they must be shown as they stand.
constexpr wchar_t kTestTexts[] = LR"([TALOGUI]
GUIWIN_NAME=Airvane Settings Test
ERROR_ENABLE=Could not switch on:\r\n%s
ERROR_DISABLE=%d %s %n %x
MESSAGE_PROGRESS_TITLE=Airvane Test - Switching Devices
MESSAGE_PROGRESS_MESSAGE=Changing the device settings.\r\nPlease wait...
IDC_PROGRAM_TITLE=Program title
IDC_COPYRIGHT=Copyright line
IDC_MAIN_DESC=Main description
IDC_LBL_PRESET=Preset label
IDC_LBL_STATUS=Status label
IDC_LBL_TRAYICON=Tray icon box
IDC_LBL_HOTKEY=Shortcut label
IDC_SETHOTKEY=Set key button
IDC_DELETE_PRESER=Delete button
IDC_IDOK=OK button
IDC_IDCANCEL=Cancel button
IDS_EDITNEWPRESET=<New preset entry>
IDS_CHANGESETTING=Changing settings
IDS_CHANGEDONE=Settings changed
MSG_DELETEPRESET=Delete %s %n %d?
GUIREG_NAME=Register Preset Test
IDC_REG_DESCLIPTION=Register description
IDC_LBL_NEWPRESETNAME=Name label
IDOK_REGISTER=Register button
IDC_APPLYONLY=Apply-only button
ERROR_INPUTNAME=No name: %s %n %x
IDC_RULES=Rules button
GUIRULES_NAME=Rules Test
IDS_RULE_LINE=%s -> %s
IDS_RULE_NO_PRESET=(missing)
IDS_RULE_MANAGED=(managed)
IDS_EVENT_CABLEIN=cable in
IDS_EVENT_AC=on AC
IDS_EVENT_DOCKED=docked

[DeviceList]
0=WLAN
1=UMTS
2=BLUETOOTH
3=LONGIDS
4=MANY

[UMTS]
UMTS0_ROOT_CLASS=USB
UMTS0_ROOT_HWID=USB\VID_1E0E&PID_9001
UMTS0_ROOT_DISPLAYNAME=UMTS modem
UMTS0_SUBNUM=3
UMTS0_SUB0_CLASS=Ports
UMTS0_SUB0_HWID=USB\VID_1E0E&PID_9001&MI_01
UMTS0_SUB1_CLASS=Modem
UMTS0_SUB1_HWID=USB\VID_1E0E&PID_9001&MI_02
UMTS0_SUB2_CLASS=Ports
UMTS0_SUB2_HWID=USB\VID_1E0E&PID_9001&MI_03
)";

// A second modem entry whose sub-device's prefix is too long for its field; cut,
// it would name the device of the section LONGIDS. MANY names one device many
// times over, each under a name of its own.
std::wstring TestTexts()
{
    std::wstring many = L"[MANY]\n";
    for (int i = 0; i < kManyEntries; ++i) {
        const std::wstring n = std::to_wstring(i);
        many += n + L"_Class=Ports\n" + n + L"_HwId=" + kManyHwId + L"\n";
        many += n + L"_DisplayName=" + ManyName(i) + L"\n";
    }
    return std::wstring(kTestTexts) +
           L"UMTS1_ROOT_CLASS=CDROM\nUMTS1_ROOT_HWID=USBSTOR\\CdRomGeneric_DVD-RW_Drive_1.00\nUMTS1_SUBNUM=1\n"
           L"UMTS1_SUB0_CLASS=Ports\nUMTS1_SUB0_HWID=" + LongHwIdPrefix() + L"CCCC\n"
           L"[LONGIDS]\n0_Class=Ports\n0_HwId=" + LongHwIdPrefix() + L"\n" + many;
}

constexpr wchar_t kProbeKey[] = L"Software\\AirvaneTests\\CompanionProbe";

bool CopyProgram(const wchar_t* name, const std::wstring& folder)
{
    return CopyFileW(ProgramPath(name).c_str(), (folder + name).c_str(), FALSE) != FALSE;
}

void SetString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value)
{
    RegKey key;
    RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
    RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool GetDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* value)
{
    DWORD bytes = sizeof(*value);
    return RegGetValueW(root, path, name, RRF_RT_REG_DWORD, nullptr, value, &bytes) == ERROR_SUCCESS;
}

// What the tests change, kept from the start and put back at the end, once the
// service that writes to it has stopped.
class SettingsEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        SetEnvironmentVariableW(L"AIRVANE_SIM_ROOT", nullptr); // the service's machine
        const std::pair<HKEY, std::wstring> kept[] = {
            {HKEY_LOCAL_MACHINE, CSimNotebook::RootPath()},
            {HKEY_LOCAL_MACHINE, kNetworkCardsKey},
            {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\Kvrfusb"},
            {HKEY_LOCAL_MACHINE, kDeviceListKey},
            {HKEY_LOCAL_MACHINE, kCompanionPathKey},
            {HKEY_LOCAL_MACHINE, kCompanionFlagKey},
            {HKEY_CURRENT_USER, std::wstring(kProductKey) + L"\\" + kSettingSubKey},
            {HKEY_CURRENT_USER, kProbeKey},
        };
        for (const auto& key : kept)
            snapshots_.push_back(std::make_unique<RegistrySnapshot>(key.first, key.second));
        install_ = std::make_unique<SettingsInstall>();
    }

    void TearDown() override
    {
        install_.reset();
        snapshots_.clear();
    }

    static inline std::unique_ptr<SettingsInstall> install_;

private:
    std::vector<std::unique_ptr<RegistrySnapshot>> snapshots_;
};

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new SettingsEnvironment);

} // namespace

std::wstring ManyName(int i)
{
    return L"Many " + std::to_wstring(i);
}

std::wstring LongHwIdPrefix()
{
    const std::wstring start = L"USB\\VID_1E0E&PID_9001&MI_04&";
    return start + std::wstring(127 - start.size(), L'A');
}

void SettingsProgram::SetUp()
{
    ASSERT_TRUE(Install().IsReady()) << "the programs could not be installed, or the service did not start";
    ASSERT_TRUE(ResetMachine());
}

const SettingsInstall& SettingsProgram::Install()
{
    return *SettingsEnvironment::install_;
}

SettingsInstall::SettingsInstall()
{
    const std::wstring folder = Folder();
    const std::wstring installed = kInstallFolder;
    ready_ = folder_.CreateFolder(installed) && CopyProgram(kSettingsProgramFile, folder) &&
             CopyProgram(kLauncherProgramFile, folder) &&
             CopyProgram(L"TALOService.exe", folder) && CopyProgram(kServiceLibraryFile, folder) &&
             folder_.WriteTextFile(installed + kLanguageIniFile, L"[Folder]\nDefault=English\n") &&
             folder_.CreateFolder(installed + L"English") &&
             folder_.WriteTextFile(installed + L"English\\TALOTXT.ini", TestTexts()) &&
             InstallAndStartService(folder + L"TALOService.exe");
}

SettingsInstall::~SettingsInstall()
{
    StopAndRemoveService();
}

bool SettingsInstall::UseShippedTexts(bool shipped) const
{
    const std::wstring texts = Folder() + L"English\\TALOTXT.ini";
    if (shipped)
        return CopyFileW(ProgramPath(L"English\\TALOTXT.ini").c_str(), texts.c_str(), FALSE) != FALSE;
    return folder_.WriteTextFile(std::wstring(kInstallFolder) + L"English\\TALOTXT.ini", TestTexts());
}

std::wstring SettingsInstall::Folder() const
{
    return folder_.Path() + kInstallFolder;
}

bool ResetMachine()
{
    CSimNotebook notebook;
    if (!SeedDemoNotebook(notebook))
        return false;
    SimDevice wlan;
    wlan.enumerator = L"PCI";
    wlan.className = L"Net";
    wlan.hardwareIds = {testdevice::kSecondWlanHwId};
    wlan.description = testdevice::kSecondWlanName;
    SimDevice diagnostics;
    diagnostics.enumerator = L"USB";
    diagnostics.className = L"Ports";
    diagnostics.hardwareIds = {L"USB\\VID_1E0E&PID_9001&MI_03"};
    diagnostics.description = L"HSPA Diagnostics Port";
    const wchar_t service[] = L"{5D2B7C19-0A4E-4B3F-8E61-7C9A2F0D4B58}";
    const bool seeded = notebook.AddDevice(wlan) == testdevice::kSecondWlan &&
                        notebook.AddDevice(diagnostics) == testdevice::kModemDiag &&
                        notebook.AddNetworkCard(L"11", testdevice::kSecondWlanName, service) &&
                        notebook.AddWlanInterface({testdevice::kSecondWlanName, testdevice::kSecondWlan}) &&
                        notebook.AddNdisAdapter({service, true, testdevice::kSecondWlan});
    for (const wchar_t* key : {kDeviceListKey, kCompanionPathKey, kCompanionFlagKey})
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kProductKey) + L"\\" + kSettingSubKey).c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kProbeKey);
    return seeded;
}

bool IsDisabled(DWORD device)
{
    SimDevice state;
    return CSimNotebook().ReadDevice(device, state) && state.Disabled();
}

std::vector<std::wstring> StateChanges()
{
    std::vector<std::wstring> changes;
    for (const SimStateChange& change : CSimNotebook().StateChanges())
        changes.push_back(std::to_wstring(change.device) + (change.disabled ? L" off" : L" on"));
    return changes;
}

void SetCompanionPath(const std::wstring& path)
{
    SetString(HKEY_LOCAL_MACHINE, kCompanionPathKey, kCompanionPathValue, path);
}

bool ReadAdmission(DWORD* value)
{
    return GetDword(HKEY_LOCAL_MACHINE, kCompanionFlagKey, kCompanionFlagValue, value);
}

DWORD CompanionRuns()
{
    DWORD runs = 0;
    GetDword(HKEY_CURRENT_USER, kProbeKey, L"Runs", &runs);
    return runs;
}

std::wstring CompanionProbePath()
{
    return PathBesideTest(L"companion_probe.exe");
}

SettingsRun RunSettings(const SettingsInstall& install, const std::wstring& arguments,
                        const std::function<void(HWND box)>& atBox)
{
    SettingsRun run;
    RunningProgram program(install.SettingsPath(), arguments);
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (program.IsRunning() && GetTickCount64() < deadline) {
        const HWND box = WaitForMessageBox(program.ProcessId(), 100);
        if (!box)
            continue;
        run.boxes.push_back(WindowText(box) + L"|" + MessageBoxText(box));
        if (atBox)
            atBox(box);
        PressButton(box, IDOK);
        WaitForWindowGone(box);
    }
    program.WaitForExit(&run.exitCode, 0);
    return run;
}
