#include "launcher/LauncherResources.h"

#include "AirvaneVersion.h"
#include "tests/support/ModuleResources.h"

#include <gtest/gtest.h>

#include <vector>

// The test program links the launcher's resources: they are its own.
namespace {

// The tray draws the small icon: 16 pixels at 100 %, 20 at 125 %, 24 at 150 %,
// 32 at 200 %; the window class asks for the large one too. Each is an image
// of its own, not one stretched by the loader.
TEST(LauncherResources, IconCarriesAnImageForEverySizeTheShellDraws)
{
    const std::vector<int> sizes = IconImageSizes(nullptr, IDI_LAUNCHER);
    EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 48}));
    for (int size : sizes)
        EXPECT_EQ(LoadedIconWidth(nullptr, IDI_LAUNCHER, size), size);
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LAUNCHER)), nullptr);
}

TEST(LauncherResources, VersionNamesTheProductItsMakerAndTheProjectVersion)
{
    EXPECT_EQ(VersionString(nullptr, L"ProductName"), L"Airvane");
    EXPECT_EQ(VersionString(nullptr, L"CompanyName"), L"Korvath");
    EXPECT_EQ(VersionString(nullptr, L"OriginalFilename"), L"TALOLauncher.exe");
    EXPECT_EQ(VersionString(nullptr, L"FileVersion"), TEXT(AIRVANE_VERSION_TEXT));
    VS_FIXEDFILEINFO fixed = {};
    ASSERT_TRUE(FixedVersion(nullptr, &fixed));
    EXPECT_EQ(fixed.dwFileVersionMS, DWORD(MAKELONG(AIRVANE_VERSION_MINOR, AIRVANE_VERSION_MAJOR)));
}

TEST(LauncherResources, ManifestSelectsCommonControls6AndPerMonitorDpiAwareness)
{
    EXPECT_TRUE(UsesCommonControls6());
    const int awareness = ThreadDpiAwareness();
    if (awareness < 0)
        GTEST_SKIP() << "the system cannot report DPI awareness";
    EXPECT_EQ(awareness, 2);
}

} // namespace
