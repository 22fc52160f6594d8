#pragma once

// Screenshots for people: what a person would see of a window, or of the whole
// desktop, copied from the screen and saved as a PNG file under
// <build>/screenshots/<test program>/<name>.png. A window captured as a single
// colour, or a desktop captured black, shows that nothing reached the screen:
// the capture then fails.
//
//   EXPECT_TRUE(SaveWindowScreenshot(notice, L"progress-en-100"));
//
// Tests assert on state; screenshots are artefacts to look at.

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

// The folder the screenshots of this test program go to, with a trailing
// backslash; created on first use.
std::wstring ScreenshotFolder();

// Waits until the window (of any process) has painted, then saves its rectangle
// on the screen, frame included, as ScreenshotFolder() + name + ".png".
testing::AssertionResult SaveWindowScreenshot(HWND window, const std::wstring& name);

// Saves the whole screen (Wine's virtual desktop) as ScreenshotFolder() + name + ".png".
testing::AssertionResult SaveDesktopScreenshot(const std::wstring& name);

// The same, saved as the PNG file at path, for tools outside the build's tests.
// The desktop is saved once the window paintedFirst (of any process, if given)
// has painted.
testing::AssertionResult SaveWindowScreenshotAs(HWND window, const std::wstring& path);
testing::AssertionResult SaveDesktopScreenshotAs(const std::wstring& path, HWND paintedFirst = nullptr);
