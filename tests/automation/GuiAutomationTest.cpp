#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/ProgramRunner.h"
#include "automation/Screenshot.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const ChildRole kMessageBox(L"message-box", [](const std::vector<std::wstring>& args) -> int {
    return MessageBoxW(nullptr, args.at(1).c_str(), args.at(0).c_str(), MB_OKCANCEL | MB_ICONWARNING);
});

const ChildRole kSleep(L"sleep", [](const std::vector<std::wstring>&) -> int {
    Sleep(INFINITE);
    return 0;
});

const ChildRole kPrint(L"print", [](const std::vector<std::wstring>& args) -> int {
    std::fputs("printed\n", stdout);
    return std::stoi(args.at(0));
});

TEST(ProgramRunner, ReportsTheExitCodeAndOutputOrWhyThereIsNone)
{
    struct Case {
        std::wstring program;
        std::wstring arguments;
        DWORD timeoutMs;
        bool ended;
        DWORD exitCode;
        const char* output;
        const char* failure; // the start of the reason
    };
    const Case cases[] = {
        {TestProgramPath(), L"--child=print 7", 30000, true, 7, "printed\r\n", ""}, // stdout in text mode
        {PathBesideTest(L"no-such-program.exe"), L"", 30000, false, 0, "", "CreateProcessW failed for "},
        {TestProgramPath(), L"--child=sleep", 300, false, 0, "", "waiting for the end failed for "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments.c_str() << " " << c.failure);
        std::string output;
        const ProgramOutcome outcome = RunProgramToEnd(c.program, c.arguments, &output, c.timeoutMs);
        EXPECT_EQ(outcome.ended, c.ended);
        EXPECT_EQ(outcome.failure.rfind(c.failure, 0), 0u) << outcome.failure;
        if (c.ended) {
            EXPECT_EQ(outcome.exitCode, c.exitCode);
            EXPECT_EQ(output, c.output);
        } else {
            EXPECT_NE(outcome.failure.find(", error "), std::string::npos) << outcome.failure;
        }
    }
    EXPECT_EQ(RunProgram(PathBesideTest(L"no-such-program.exe"), L""), -1);
}

TEST(GuiSupport, FindsReadsAndDismissesAMessageBoxOfAnotherProcess)
{
    RunningProgram child(TestProgramPath(), L"--child=message-box \"Box caption\" \"First line\nSecond line\"");
    ASSERT_TRUE(child.Started());
    const HWND box = WaitForMessageBox(child.ProcessId());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), L"Box caption");
    EXPECT_EQ(MessageBoxText(box), L"First line\nSecond line");
    EXPECT_TRUE(SaveWindowScreenshot(box, L"message-box"));
    EXPECT_FALSE(PressButton(box, IDYES)) << "a button the box does not have";
    EXPECT_TRUE(PressButton(box, IDCANCEL));
    EXPECT_TRUE(WaitForWindowGone(box));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, DWORD(IDCANCEL));
}

TEST(GuiSupport, WaitsGiveUpAfterTheirTimeout)
{
    WindowQuery query;
    query.title = L"No window is called like this";
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(WaitForTopLevelWindow(query, 300), nullptr);
    EXPECT_EQ(WaitForMessageBox(GetCurrentProcessId(), 300), nullptr);
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 550u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(GuiSupport, AProgramLeftRunningIsKilledWithItsRunningProgram)
{
    KernelHandle process;
    {
        RunningProgram child(TestProgramPath(), L"--child=sleep");
        ASSERT_TRUE(child.Started());
        EXPECT_TRUE(child.IsRunning());
        DWORD exitCode = 0;
        EXPECT_FALSE(child.WaitForExit(&exitCode, 100));
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), child.Process(), GetCurrentProcess(), process.Put(),
                                    SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0));
    }
    ASSERT_EQ(WaitForSingleObject(process.Get(), 0), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    EXPECT_EQ(exitCode, RunningProgram::kKilledExitCode);
}

TEST(GuiSupport, ProgramsAndTheirDataLieInTheBuildsOutputFolders)
{
    const std::wstring build = BuildFolder();
    ASSERT_FALSE(build.empty());
    EXPECT_EQ(TestProgramPath().compare(0, build.size(), build), 0);
    EXPECT_EQ(ProgramFolder(Binding::Simulated), build + L"sim\\bin\\");
    EXPECT_EQ(ProgramFolder(Binding::System), build + L"bin\\");
    for (Binding binding : {Binding::Simulated, Binding::System}) {
        const DWORD attributes = GetFileAttributesW(ProgramPath(L"Language.ini", binding).c_str());
        EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    }
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(GuiSupport, ScreenshotsAreSavedAndABlankCaptureFails)
{
    EXPECT_TRUE(SaveDesktopScreenshot(L"desktop"));
    const std::wstring saved = ScreenshotFolder() + L"desktop.png";
    KernelHandle file(CreateFileW(saved.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.IsValid());
    BYTE signature[8] = {};
    DWORD read = 0;
    ReadFile(file.Get(), signature, sizeof(signature), &read, nullptr);
    EXPECT_EQ(memcmp(signature, "\x89PNG\r\n\x1a\n", 8), 0);

    // A borderless black window is what a capture shows when nothing was drawn.
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"AirvaneTestBlack";
    RegisterClassW(&windowClass);
    const HWND black = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 100, 100,
                                       200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(black, nullptr);
    EXPECT_FALSE(SaveWindowScreenshot(black, L"black"));
    DestroyWindow(black);
}

} // namespace
