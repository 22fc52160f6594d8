#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/InstalledService.h"
#include "automation/ProgramRunner.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "tests/installer/PackageDatabase.h"
#include "tests/service/ProductValues.h"
#include "tests/service/TestRequests.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <aclapi.h>
#include <knownfolders.h>
#include <msi.h>
#include <sddl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <iostream>
#include <map>
#include <string>
#include <vector>

// The MSI packages under the prefix's Windows Installer, installed and removed
// with msiexec as an administrator would: what lands where, the service it
// installs and starts, a request through that service, and what removal leaves.

namespace {

constexpr wchar_t kUpgradeCode[] = L"{493498C2-9CBA-4ABB-82BD-A4DB71F562DA}";
constexpr wchar_t kVersion[] = L"" AIRVANE_MSI_VERSION;
constexpr wchar_t kNextVersion[] = L"" AIRVANE_MSI_NEXT_VERSION;

enum class Flavour { Shipping, Simulated };

// The packages of the build (installer\), and the next version's built for this test (tests\installer\).
std::wstring Package(Flavour flavour, const wchar_t* version = kVersion)
{
    const std::wstring name =
        std::wstring(L"Airvane-") + version + (flavour == Flavour::Simulated ? L"-sim.msi" : L".msi");
    return BuildFolder() + (wcscmp(version, kVersion) == 0 ? L"installer\\" : L"tests\\installer\\") + name;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id)
{
    wchar_t* path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        folder = path;
    CoTaskMemFree(path);
    return folder + L"\\";
}

std::wstring MakerFolder()
{
    return KnownFolder(FOLDERID_ProgramFiles) + L"Korvath\\";
}

std::wstring InstallFolder()
{
    return MakerFolder() + L"Airvane\\";
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A per-machine package puts the shortcut into the common Start menu; Wine's
// installer into the installing user's, since it ignores ALLUSERS for the Start menu.
std::wstring SettingsShortcut()
{
    const std::wstring common = KnownFolder(FOLDERID_CommonPrograms) + L"Airvane Settings.lnk";
    const std::wstring user = KnownFolder(FOLDERID_Programs) + L"Airvane Settings.lnk";
    return Exists(common) || !Exists(user) ? common : user;
}

// Runs msiexec with the action on the package and the properties, quietly; its exit code.
DWORD Msiexec(const wchar_t* action, const std::wstring& package, const char* what, const wchar_t* properties = L"")
{
    const ULONGLONG start = GetTickCount64();
    const DWORD exitCode =
        RunCommand(L"msiexec.exe " + std::wstring(action) + L" \"" + package + L"\" " + properties + L" /qn");
    std::cout << what << ": " << (GetTickCount64() - start) << " ms, exit code " << exitCode << "\n";
    return exitCode;
}

// The product codes installed under the upgrade code.
std::vector<std::wstring> InstalledProducts()
{
    std::vector<std::wstring> products;
    wchar_t code[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i)
        products.push_back(code);
    return products;
}

std::wstring ProductInfo(const std::wstring& product, const wchar_t* property)
{
    wchar_t value[256];
    DWORD chars = ARRAYSIZE(value);
    return MsiGetProductInfoW(product.c_str(), property, value, &chars) == ERROR_SUCCESS ? value : L"";
}

// Removes whatever an aborted run left: installed packages, and a service that sc created.
void RemoveEverything()
{
    for (const std::wstring& product : InstalledProducts())
        RunCommand(L"msiexec.exe /x " + product + L" /qn");
    StopAndRemoveService();
}

struct InstalledFile {
    const wchar_t* path;
    bool installed;
};

std::vector<InstalledFile> PackageFiles(Flavour flavour)
{
    const bool simulated = flavour == Flavour::Simulated;
    return {
        {L"TALOService.exe", true},
        {L"TALOWNP.dll", true},
        {L"TALOSetting.exe", true},
        {L"TALOLauncher.exe", true},
        {L"airvane.exe", true},
        {L"Language.ini", true},
        {L"English\\TALOTXT.ini", true},
        {L"German\\TALOTXT.ini", true},
        {L"Japanese\\TALOTXT.ini", true},
        {L"AirvaneSim.exe", simulated},
        {L"AirvaneRequest.exe", simulated},
    };
}

void ExpectFiles(Flavour flavour)
{
    for (const InstalledFile& file : PackageFiles(flavour)) {
        SCOPED_TRACE(file.path);
        EXPECT_EQ(Exists(InstallFolder() + file.path), file.installed);
    }
}

// TALOService as the package installs it: its own process, automatic start as
// LocalSystem, the installed program, a display name and a description; and running.
// Whether a security descriptor lets only the system and administrators change
// what it guards: its DACL protected from inheritance, and every other allowing
// entry without a right to write, delete or change permissions or owner.
testing::AssertionResult OnlyAdministratorsWrite(PSECURITY_DESCRIPTOR descriptor)
{
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorControl(descriptor, &control, &revision) ||
        !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl)
        return testing::AssertionFailure() << "no DACL";
    if (!(control & SE_DACL_PROTECTED))
        return testing::AssertionFailure() << "the DACL inherits from the parent";
    constexpr ACCESS_MASK kWrites = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                    FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                    GENERIC_ALL;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&header)) || header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        PSID sid = &ace->SidStart;
        if (!IsWellKnownSid(sid, WinLocalSystemSid) && !IsWellKnownSid(sid, WinBuiltinAdministratorsSid) &&
            (ace->Mask & kWrites))
            return testing::AssertionFailure() << "entry " << i << " lets others write (mask " << ace->Mask << ")";
    }
    return testing::AssertionSuccess();
}

// The package's permissions (MsiLockPermissionsEx): the install folder and every
// file of the package only the system's and administrators' to change.
void ExpectLockedPermissions(Flavour flavour)
{
    const PackageDatabase database(Package(flavour));
    ASSERT_TRUE(database.IsOpen());
    std::map<std::wstring, std::wstring> locks; // table/object -> SDDL
    for (const auto& row : database.Rows(L"SELECT `LockObject`, `Table`, `SDDLText` FROM `MsiLockPermissionsEx`"))
        locks[row[1] + L"/" + row[0]] = row[2];
    const auto files = database.Rows(L"SELECT `File` FROM `File`");
    auto folders = database.Rows(L"SELECT `Directory_` FROM `CreateFolder`");

    // The maker's folder has a row too, so that it goes on removal, but keeps the permissions it has.
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<Row>{{L"INSTALLFOLDER"}, {L"MakerFolder"}}));
    std::vector<std::wstring> objects = {L"CreateFolder/INSTALLFOLDER"};
    for (const auto& file : files)
        objects.push_back(L"File/" + file[0]);
    EXPECT_EQ(locks.size(), objects.size());
    for (const std::wstring& object : objects) {
        SCOPED_TRACE(object);
        const auto lock = locks.find(object);
        ASSERT_NE(lock, locks.end());
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(lock->second.c_str(), SDDL_REVISION_1,
                                                                         &descriptor, nullptr));
        LocalMemory owned(descriptor);
        EXPECT_TRUE(OnlyAdministratorsWrite(descriptor));
    }
}

// The install folder's permissions as installed, where the installer applies
// them (Wine's installer leaves the table aside; Windows applies it).
void ExpectInstallFolderLocked()
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(InstallFolder().c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, nullptr, nullptr, &descriptor),
              ERROR_SUCCESS);
    LocalMemory owned(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    if (!(control & SE_DACL_PROTECTED)) {
        std::cout << "the installer did not apply MsiLockPermissionsEx to the install folder\n";
        return;
    }
    EXPECT_TRUE(OnlyAdministratorsWrite(descriptor));
}

void ExpectServiceInstalled()
{
    ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    ServiceHandle service(manager ? OpenServiceW(manager.Get(), kServiceName, SERVICE_QUERY_CONFIG) : nullptr);
    ASSERT_TRUE(service) << GetLastError();
    std::vector<BYTE> buffer(8192);
    DWORD needed = 0;
    ASSERT_TRUE(QueryServiceConfigW(service.Get(), reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()),
                                    static_cast<DWORD>(buffer.size()), &needed))
        << GetLastError();
    const auto& config = *reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(buffer.data());
    EXPECT_EQ(config.dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(config.dwStartType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_STREQ(config.lpServiceStartName, L"LocalSystem");
    EXPECT_STREQ(config.lpDisplayName, L"Airvane Switching Service");
    std::wstring program = config.lpBinaryPathName;
    if (program.size() > 1 && program.front() == L'"')
        program = program.substr(1, program.size() - 2);
    EXPECT_EQ(program, InstallFolder() + L"TALOService.exe");

    ASSERT_TRUE(QueryServiceConfig2W(service.Get(), SERVICE_CONFIG_DESCRIPTION, buffer.data(),
                                     static_cast<DWORD>(buffer.size()), &needed))
        << GetLastError();
    const wchar_t* description = reinterpret_cast<const SERVICE_DESCRIPTIONW*>(buffer.data())->lpDescription;
    EXPECT_NE(std::wstring(description ? description : L"").find(L"Airvane"), std::wstring::npos);

    // Restarted after a first and a second crash, then left stopped; the count reset after a day.
    // Where the installer applies the package's recovery table (Wine's leaves it aside).
    const auto& recovery = *reinterpret_cast<const SERVICE_FAILURE_ACTIONSW*>(buffer.data());
    if (!QueryServiceConfig2W(service.Get(), SERVICE_CONFIG_FAILURE_ACTIONS, buffer.data(),
                              static_cast<DWORD>(buffer.size()), &needed) ||
        recovery.cActions == 0) {
        std::cout << "the installer did not apply MsiServiceConfigFailureActions\n";
    } else {
        EXPECT_EQ(recovery.dwResetPeriod, 86400u);
        ASSERT_EQ(recovery.cActions, 3u);
        EXPECT_EQ(recovery.lpsaActions[0].Type, SC_ACTION_RESTART);
        EXPECT_EQ(recovery.lpsaActions[1].Type, SC_ACTION_RESTART);
        EXPECT_EQ(recovery.lpsaActions[2].Type, SC_ACTION_NONE);
    }

    EXPECT_TRUE(AwaitServiceState(SERVICE_RUNNING, 10000)) << "state " << ServiceState();
}

// The machine's autostart value, as AUTOSTART=1 writes it; false when there is none.
bool MachineAutostart(std::wstring* command)
{
    return ReadMachineString(kRunKey, kAutostartValue, command);
}

// The Start-menu shortcut opens the installed settings program.
void ExpectSettingsShortcut()
{
    ASSERT_TRUE(Exists(SettingsShortcut()));
    IShellLinkW* link = nullptr;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link)));
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = L"";
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(SettingsShortcut().c_str(), STGM_READ)))
            link->GetPath(target, MAX_PATH, nullptr, 0);
        file->Release();
    }
    link->Release();
    EXPECT_EQ(std::wstring(target), InstallFolder() + kSettingsProgramFile);
}

// The machine-wide keys of the product: at most the device list, which the service writes.
void ExpectOnlyTheDeviceList()
{
    RegKey product;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, product.Put()) != ERROR_SUCCESS)
        return;
    DWORD subkeys = 0;
    DWORD values = 0;
    ASSERT_EQ(RegQueryInfoKeyW(product.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 0u);
    for (DWORD i = 0; i < subkeys; ++i) {
        wchar_t name[256];
        DWORD chars = ARRAYSIZE(name);
        ASSERT_EQ(RegEnumKeyExW(product.Get(), i, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
        EXPECT_EQ(kProductKey + std::wstring(L"\\") + name, kDeviceListKey);
    }
}

// True when the system PATH (as the installer writes it) names the install folder.
bool SystemPathHasInstallFolder()
{
    std::wstring path;
    if (!ReadMachineString(L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", L"PATH", &path))
        return false;
    std::wstring folder = InstallFolder();
    folder.pop_back(); // without its trailing backslash
    CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
    CharUpperBuffW(&folder[0], static_cast<DWORD>(folder.size()));
    const std::wstring entries = L";" + path + L";";
    return entries.find(L";" + folder + L";") != std::wstring::npos ||
           entries.find(L";" + folder + L"\\;") != std::wstring::npos;
}

// After removal: no product, no service, no files, no shortcut, no keys but the device list.
void ExpectRemoved(bool makerFolderHeldOthers)
{
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_EQ(ServiceState(), 0u);
    EXPECT_FALSE(Exists(InstallFolder()));
    // The maker's folder goes when the package leaves it empty; one that held
    // something else before the install stays.
    if (makerFolderHeldOthers)
        EXPECT_TRUE(Exists(MakerFolder()));
    else
        EXPECT_FALSE(Exists(MakerFolder()));
    EXPECT_FALSE(Exists(SettingsShortcut()));
    ExpectOnlyTheDeviceList();
}

class Installer : public testing::Test {
protected:
    void SetUp() override
    {
        // The installed service reads the machine's default simulated notebook, like the demo.
        SetEnvironmentVariableW(L"AIRVANE_SIM_ROOT", nullptr);
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        RemoveEverything();
        makerFolderHeldOthers_ = !PathIsDirectoryEmptyW(MakerFolder().c_str()) && Exists(MakerFolder());
    }
    void TearDown() override
    {
        RemoveEverything();
        CSimNotebook().Clear();
        CoUninitialize();
    }

    bool makerFolderHeldOthers_ = false;
    ScopedProductValues productValues_;
};

TEST_F(Installer, SimulatedPackageInstallsServesAndUninstallsCleanly)
{
    ASSERT_EQ(Msiexec(L"/i", Package(Flavour::Simulated), "install"), 0u);
    ASSERT_EQ(InstalledProducts().size(), 1u);
    EXPECT_EQ(ProductInfo(InstalledProducts()[0], INSTALLPROPERTY_VERSIONSTRING), kVersion);
    ExpectFiles(Flavour::Simulated);
    ExpectLockedPermissions(Flavour::Simulated);
    ExpectInstallFolderLocked();
    ExpectServiceInstalled();
    ExpectSettingsShortcut();

    // The demo's tools from the install folder: seed the notebook, then requests to the installed service.
    std::string output;
    ASSERT_EQ(RunProgram(InstallFolder() + L"AirvaneSim.exe", L"seed demo", &output), 0) << output;
    const std::wstring request = InstallFolder() + L"AirvaneRequest.exe";
    ASSERT_EQ(RunProgram(request, L"set-dword " + std::wstring(kCompanionFlagKey) + L" Admission 1", &output), 0)
        << output;
    DWORD admission = 0;
    EXPECT_TRUE(ReadMachineDWord(kCompanionFlagKey, kCompanionFlagValue, &admission));
    EXPECT_EQ(admission, 1u);
    // The service switches the modem because the installed text files name it.
    EXPECT_EQ(RunProgram(request, L"disable USB " + std::wstring(kModemRoot), &output), 0) << output;
    EXPECT_TRUE(SimulatedDevice(kModemRoot).Disabled());
    EXPECT_EQ(RunProgram(InstallFolder() + kSettingsProgramFile, L"STATUS=WLAN /Q"), 1) << "the WLAN adapter is on";
    {
        // The launcher runs from the install folder until its end switch.
        RunningProgram launcher(InstallFolder() + kLauncherProgramFile, L"");
        WindowQuery window;
        window.processId = launcher.ProcessId();
        window.className = kLauncherWindowClass;
        window.visibleOnly = false;
        EXPECT_NE(WaitForTopLevelWindow(window), nullptr);
        EXPECT_EQ(RunProgram(InstallFolder() + kLauncherProgramFile, L"/e"), 0);
        DWORD exitCode = 1;
        EXPECT_TRUE(launcher.WaitForExit(&exitCode, 10000));
        EXPECT_EQ(exitCode, 0u);
    }

    ASSERT_EQ(Msiexec(L"/x", Package(Flavour::Simulated), "uninstall"), 0u);
    ExpectRemoved(makerFolderHeldOthers_);
}

TEST_F(Installer, ShippingPackageInstallsAndUninstallsCleanly)
{
    ASSERT_EQ(Msiexec(L"/i", Package(Flavour::Shipping), "install"), 0u);
    ASSERT_EQ(InstalledProducts().size(), 1u);
    EXPECT_EQ(ProductInfo(InstalledProducts()[0], INSTALLPROPERTY_PRODUCTNAME), L"Airvane");
    ExpectFiles(Flavour::Shipping);
    ExpectLockedPermissions(Flavour::Shipping);
    ExpectInstallFolderLocked();
    ExpectServiceInstalled();
    EXPECT_TRUE(SystemPathHasInstallFolder()) << "airvane.exe is not on the system PATH";

    std::wstring command;
    EXPECT_FALSE(MachineAutostart(&command)) << "written without AUTOSTART=1";

    ASSERT_EQ(Msiexec(L"/x", Package(Flavour::Shipping), "uninstall"), 0u);
    ExpectRemoved(makerFolderHeldOthers_);
    EXPECT_FALSE(SystemPathHasInstallFolder());
}

// AUTOSTART=1 starts the launcher at every user's log-on: the machine's Run value, the
// installed launcher's path in quotes; the removal takes it away.
TEST_F(Installer, AutostartPropertyStartsTheLauncherForEveryUser)
{
    ASSERT_EQ(Msiexec(L"/i", Package(Flavour::Simulated), "install", L"AUTOSTART=1"), 0u);
    std::wstring command;
    EXPECT_TRUE(MachineAutostart(&command));
    EXPECT_EQ(command, L"\"" + InstallFolder() + kLauncherProgramFile + L"\"");

    ASSERT_EQ(Msiexec(L"/x", Package(Flavour::Simulated), "uninstall"), 0u);
    EXPECT_FALSE(MachineAutostart(&command));
    ExpectRemoved(makerFolderHeldOthers_);
}

// A newer package replaces an older one, either flavour the other of the same
// version, and an older package is refused while a newer one is installed.
TEST_F(Installer, OneProductStaysInstalledAcrossUpgrades)
{
    struct Step {
        Flavour flavour;
        const wchar_t* version;
        DWORD exitCode;
        Flavour installedFlavour;
        const wchar_t* installedVersion;
    };
    const Step steps[] = {
        {Flavour::Shipping, kVersion, ERROR_SUCCESS, Flavour::Shipping, kVersion},
        {Flavour::Simulated, kVersion, ERROR_SUCCESS, Flavour::Simulated, kVersion},
        {Flavour::Simulated, kNextVersion, ERROR_SUCCESS, Flavour::Simulated, kNextVersion},
        {Flavour::Shipping, kVersion, ERROR_INSTALL_FAILURE, Flavour::Simulated, kNextVersion},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << (step.flavour == Flavour::Simulated ? "simulated " : "shipping ")
                                        << std::string(step.version, step.version + wcslen(step.version)));
        EXPECT_EQ(Msiexec(L"/i", Package(step.flavour, step.version), "install"), step.exitCode);
        const std::vector<std::wstring> products = InstalledProducts();
        ASSERT_EQ(products.size(), 1u);
        EXPECT_EQ(ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING), step.installedVersion);
        ExpectFiles(step.installedFlavour);
        EXPECT_TRUE(AwaitServiceState(SERVICE_RUNNING, 10000)) << "state " << ServiceState();
    }

    ASSERT_EQ(Msiexec(L"/x", Package(Flavour::Simulated, kNextVersion), "uninstall"), 0u);
    ExpectRemoved(makerFolderHeldOthers_);
}

} // namespace
