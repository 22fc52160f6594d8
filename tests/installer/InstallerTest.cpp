#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/InstalledService.h"
#include "automation/ProgramRunner.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "tests/service/ProductValues.h"
#include "tests/service/TestRequests.h"

#include <gtest/gtest.h>

#include <knownfolders.h>
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <iostream>
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

// Runs msiexec with the action on the package, quietly; its exit code.
DWORD Msiexec(const wchar_t* action, const std::wstring& package, const char* what)
{
    const ULONGLONG start = GetTickCount64();
    const DWORD exitCode = RunCommand(L"msiexec.exe " + std::wstring(action) + L" \"" + package + L"\" /qn");
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

    EXPECT_TRUE(AwaitServiceState(SERVICE_RUNNING, 10000)) << "state " << ServiceState();
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

// After removal: no product, no service, no files, no shortcut, no keys but the device list.
void ExpectRemoved(bool makerFolderExisted)
{
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_EQ(ServiceState(), 0u);
    EXPECT_FALSE(Exists(InstallFolder()));
    EXPECT_EQ(Exists(MakerFolder()), makerFolderExisted);
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
        makerFolderExisted_ = Exists(MakerFolder());
    }
    void TearDown() override
    {
        RemoveEverything();
        CSimNotebook().Clear();
        CoUninitialize();
    }

    bool makerFolderExisted_ = false;
    ScopedProductValues productValues_;
};

TEST_F(Installer, SimulatedPackageInstallsServesAndUninstallsCleanly)
{
    ASSERT_EQ(Msiexec(L"/i", Package(Flavour::Simulated), "install"), 0u);
    ASSERT_EQ(InstalledProducts().size(), 1u);
    EXPECT_EQ(ProductInfo(InstalledProducts()[0], INSTALLPROPERTY_VERSIONSTRING), kVersion);
    ExpectFiles(Flavour::Simulated);
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
    ExpectRemoved(makerFolderExisted_);
}

TEST_F(Installer, ShippingPackageInstallsAndUninstallsCleanly)
{
    ASSERT_EQ(Msiexec(L"/i", Package(Flavour::Shipping), "install"), 0u);
    ASSERT_EQ(InstalledProducts().size(), 1u);
    EXPECT_EQ(ProductInfo(InstalledProducts()[0], INSTALLPROPERTY_PRODUCTNAME), L"Airvane");
    ExpectFiles(Flavour::Shipping);
    ExpectServiceInstalled();

    ASSERT_EQ(Msiexec(L"/x", Package(Flavour::Shipping), "uninstall"), 0u);
    ExpectRemoved(makerFolderExisted_);
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
    ExpectRemoved(makerFolderExisted_);
}

} // namespace
