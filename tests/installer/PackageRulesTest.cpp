#include "automation/BuildPrograms.h"
#include "tests/installer/PackageDatabase.h"

#include <gtest/gtest.h>

#include <msidefs.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

// The built packages against the consistency rules of Windows Installer that need
// no installation (after the validation suites: names as ICE03 checks them, key
// paths and CreateFolder as ICE18 and ICE21, shortcuts as ICE38 and ICE43), and what
// the build adds to wixl's tables: the machine's autostart, the service's recovery
// and the programs' versions.

namespace {

std::wstring Package(bool simulated)
{
    return BuildFolder() + L"installer\\Airvane-" L"" AIRVANE_MSI_VERSION + (simulated ? L"-sim.msi" : L".msi");
}

// A short name as the Filename type wants it: at most eight characters, a dot and at most
// three, none of them a blank or one of the characters no short name may hold.
bool IsShortName(const std::wstring& name)
{
    const size_t dot = name.find(L'.');
    const std::wstring stem = name.substr(0, dot);
    const std::wstring extension = dot == std::wstring::npos ? L"" : name.substr(dot + 1);
    const auto valid = [](const std::wstring& part) {
        return part.find_first_of(L" \\/?|><:*\"+,;=[].") == std::wstring::npos;
    };
    return !stem.empty() && stem.size() <= 8 && extension.size() <= 3 && valid(stem) && valid(extension) &&
           (dot == std::wstring::npos || !extension.empty());
}

// "SHORT|long name" or a name that is a short name itself; the short name, or empty when invalid.
std::wstring ShortNameOf(const std::wstring& field)
{
    const size_t bar = field.find(L'|');
    const std::wstring shortName = field.substr(0, bar);
    if (!IsShortName(shortName))
        return L"";
    if (bar != std::wstring::npos &&
        (bar + 1 == field.size() || field.find_first_of(L"\\/?|><:*\"", bar + 1) != std::wstring::npos))
        return L"";
    return shortName;
}

std::wstring Upper(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return towupper(c); });
    return text;
}

class PackageRules : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { ASSERT_TRUE(database_.IsOpen()) << "no package " << testing::PrintToString(Package(GetParam())); }

    PackageDatabase database_{Package(GetParam())};
};

// ICE03: every file, directory and shortcut name valid, with its short name unique in its folder.
TEST_P(PackageRules, NamesAreShortOrCarryAShortName)
{
    std::map<std::wstring, std::wstring> componentFolder;
    for (const Row& row : database_.Rows(L"SELECT `Component`, `Directory_` FROM `Component`"))
        componentFolder[row[0]] = row[1];
    std::set<std::wstring> taken; // folder / short name
    const auto expectName = [&taken](const std::wstring& what, const std::wstring& folder, const std::wstring& field) {
        SCOPED_TRACE(testing::PrintToString(what));
        const std::wstring shortName = ShortNameOf(field);
        EXPECT_FALSE(shortName.empty()) << "invalid name " << testing::PrintToString(field);
        EXPECT_TRUE(taken.insert(folder + L"/" + Upper(shortName)).second) << "short name taken twice";
    };
    for (const Row& row : database_.Rows(L"SELECT `File`, `Component_`, `FileName` FROM `File`"))
        expectName(L"File " + row[0], componentFolder[row[1]], row[2]);
    for (const Row& row : database_.Rows(L"SELECT `Shortcut`, `Directory_`, `Name` FROM `Shortcut`"))
        expectName(L"Shortcut " + row[0], row[1], row[2] + L".lnk");
    for (const Row& row : database_.Rows(L"SELECT `Directory`, `Directory_Parent`, `DefaultDir` FROM `Directory`")) {
        const std::wstring target = row[2].substr(0, row[2].find(L':'));
        if (target != L"." && target != L"SourceDir")
            expectName(L"Directory " + row[0], row[1], target);
    }
}

// ICE18 and ICE21: a component's key path is a file or a registry value of its own, or its
// folder with a CreateFolder row; every component belongs to the feature.
TEST_P(PackageRules, EveryComponentHasAKeyPathOfItsOwnAndAFeature)
{
    std::map<std::wstring, std::wstring> fileComponent, registryComponent;
    for (const Row& row : database_.Rows(L"SELECT `File`, `Component_` FROM `File`"))
        fileComponent[row[0]] = row[1];
    for (const Row& row : database_.Rows(L"SELECT `Registry`, `Component_` FROM `Registry`"))
        registryComponent[row[0]] = row[1];
    std::set<std::wstring> createFolders, featured;
    for (const Row& row : database_.Rows(L"SELECT `Directory_`, `Component_` FROM `CreateFolder`"))
        createFolders.insert(row[0] + L"/" + row[1]);
    for (const Row& row : database_.Rows(L"SELECT `Component_` FROM `FeatureComponents`"))
        featured.insert(row[0]);

    const auto components =
        database_.Rows(L"SELECT `Component`, `Directory_`, `Attributes`, `KeyPath` FROM `Component`");
    ASSERT_FALSE(components.empty());
    for (const Row& row : components) {
        SCOPED_TRACE(testing::PrintToString(row[0]));
        const bool registryKeyPath = (std::stoi(row[2]) & msidbComponentAttributesRegistryKeyPath) != 0;
        if (row[3].empty())
            EXPECT_EQ(createFolders.count(row[1] + L"/" + row[0]), 1u) << "a folder key path without CreateFolder";
        else if (registryKeyPath)
            EXPECT_EQ(registryComponent[row[3]], row[0]);
        else
            EXPECT_EQ(fileComponent[row[3]], row[0]);
        EXPECT_EQ(featured.count(row[0]), 1u);
    }
}

// ICE38 and ICE43: a component with a shortcut that is not advertised is kept by a value under
// HKEY_CURRENT_USER, so that every user who installs it gets the shortcut.
TEST_P(PackageRules, EveryOrdinaryShortcutIsKeptByAUserValue)
{
    std::set<std::wstring> features;
    for (const Row& row : database_.Rows(L"SELECT `Feature` FROM `Feature`"))
        features.insert(row[0]);
    std::map<std::wstring, Row> components;
    for (const Row& row : database_.Rows(L"SELECT `Component`, `Attributes`, `KeyPath` FROM `Component`"))
        components[row[0]] = row;
    std::map<std::wstring, Row> registry;
    for (const Row& row : database_.Rows(L"SELECT `Registry`, `Root`, `Component_` FROM `Registry`"))
        registry[row[0]] = row;

    const auto shortcuts = database_.Rows(L"SELECT `Shortcut`, `Component_`, `Target` FROM `Shortcut`");
    ASSERT_EQ(shortcuts.size(), 1u);
    for (const Row& shortcut : shortcuts) {
        SCOPED_TRACE(testing::PrintToString(shortcut[0]));
        if (features.count(shortcut[2]))
            continue; // advertised
        const Row& component = components[shortcut[1]];
        ASSERT_EQ(component.size(), 3u);
        EXPECT_NE(std::stoi(component[1]) & msidbComponentAttributesRegistryKeyPath, 0);
        const Row& keyPath = registry[component[2]];
        ASSERT_EQ(keyPath.size(), 3u) << "the key path is no registry value";
        EXPECT_EQ(keyPath[1], L"1") << "not under HKEY_CURRENT_USER";
        EXPECT_EQ(keyPath[2], shortcut[1]);
    }
}

// AUTOSTART=1 writes the machine's Run value, quoted, and passes to the installing service
// also in a managed install; the service is told to restart twice, then stay down, counting
// afresh after a day.
TEST_P(PackageRules, CarriesTheMachineAutostartAndTheServiceRecovery)
{
    const auto autostart = database_.Rows(
        L"SELECT `Component`.`Condition`, `Registry`.`Root`, `Registry`.`Key`, `Registry`.`Name`, "
        L"`Registry`.`Value` FROM `Component`, `Registry` WHERE `Component`.`Component` = `Registry`.`Component_` "
        L"AND `Component`.`Component` = 'MachineAutostart'");
    EXPECT_EQ(autostart, (std::vector<Row>{{L"AUTOSTART = 1 OR REMOVE = \"ALL\"", L"2", L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                            L"Kestrune", L"\"[#TALOLauncher.exe]\""}}));
    std::wstring secure = L";" + database_.Property(L"SecureCustomProperties") + L";";
    EXPECT_NE(secure.find(L";AUTOSTART;"), std::wstring::npos);

    EXPECT_EQ(database_.Rows(L"SELECT `Name`, `Event`, `ResetPeriod`, `Actions`, `DelayActions`, `Component_` "
                             L"FROM `MsiServiceConfigFailureActions`"),
              (std::vector<Row>{{L"TALOService", L"5", L"86400", L"1[~]1[~]0", L"60000[~]60000[~]0",
                                 L"TALOService.exe"}}));
    std::map<std::wstring, int> sequence;
    for (const Row& row : database_.Rows(L"SELECT `Action`, `Sequence` FROM `InstallExecuteSequence`"))
        sequence[row[0]] = std::stoi(row[1]);
    ASSERT_TRUE(sequence.count(L"MsiConfigureServices"));
    EXPECT_GT(sequence[L"MsiConfigureServices"], sequence[L"InstallServices"]);
    EXPECT_LT(sequence[L"MsiConfigureServices"], sequence[L"StartServices"]);
}

INSTANTIATE_TEST_SUITE_P(BothFlavours, PackageRules, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Simulated" : "Shipping"; });

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name)
{
    wchar_t* text = nullptr;
    UINT chars = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    return VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &chars) && text ? text : L"";
}

// Every program and the library carry the package's version and maker, which the File table
// repeats, and a description of their own.
TEST(PackageVersions, EveryProgramCarriesThePackagesVersion)
{
    const PackageDatabase database(Package(false));
    ASSERT_TRUE(database.IsOpen());
    const std::wstring version = database.Property(L"ProductVersion") + L".0";
    std::map<std::wstring, std::wstring> fileVersions;
    for (const Row& row : database.Rows(L"SELECT `File`, `Version` FROM `File`"))
        fileVersions[row[0]] = row[1];
    std::set<std::wstring> descriptions;
    for (const wchar_t* file : {L"TALOService.exe", L"TALOWNP.dll", L"TALOSetting.exe", L"TALOLauncher.exe",
                                L"airvane.exe"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(file)));
        const std::wstring path = ProgramPath(file, Binding::System);
        DWORD handle = 0;
        std::vector<BYTE> block(GetFileVersionInfoSizeW(path.c_str(), &handle));
        ASSERT_FALSE(block.empty()) << "no version resource";
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
        EXPECT_EQ(VersionString(block, L"FileVersion"), version);
        EXPECT_EQ(VersionString(block, L"ProductVersion"), version);
        EXPECT_EQ(VersionString(block, L"ProductName"), L"Airvane");
        EXPECT_EQ(VersionString(block, L"CompanyName"), database.Property(L"Manufacturer"));
        EXPECT_EQ(VersionString(block, L"OriginalFilename"), file);
        EXPECT_TRUE(descriptions.insert(VersionString(block, L"FileDescription")).second);
        EXPECT_EQ(fileVersions[file], version);
    }
}

} // namespace
