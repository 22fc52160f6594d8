#include "launcher/LauncherResources.h"

#include "AirvaneVersion.h"
#include "tests/support/ModuleResources.h"

#include <gtest/gtest.h>

// The test program links the launcher's resources: they are its own.
namespace {

// The tray shows the icon at 16 x 16, the window class asks for the standard size.
TEST(LauncherResources, IconLoadsForTheTrayAndTheWindowClass)
{
    const HMODULE module = GetModuleHandleW(nullptr);
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        const HICON icon = static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectW(info.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_NE(LoadIconW(module, MAKEINTRESOURCEW(IDI_LAUNCHER)), nullptr);
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
