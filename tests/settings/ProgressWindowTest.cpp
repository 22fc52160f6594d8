#include "settings/ProgressWindow.h"

#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/Screenshot.h"
#include "foundation/CLocalPath.h"
#include "foundation/CTextMgr.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "settings/SettingsResources.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedDpi.h"
#include "tests/support/UniqueName.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";

// A text file of the test's own, stored like the shipped ones (UTF-16LE with a
// byte-order mark) and removed at the end.
class TestTextFile {
public:
    explicit TestTextFile(const std::wstring& contents)
    {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        path_ = folder + UniqueName(L"Texts") + L".ini";
        const std::wstring text = L"\xFEFF" + contents;
        KernelHandle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    }
    ~TestTextFile() { DeleteFileW(path_.c_str()); }
    TestTextFile(const TestTextFile&) = delete;
    TestTextFile& operator=(const TestTextFile&) = delete;

    const wchar_t* Path() const { return path_.c_str(); }

private:
    std::wstring path_;
};

std::wstring ProgressSection(const std::wstring& title, const std::wstring& message)
{
    return L"[TALOGUI]\r\nMESSAGE_PROGRESS_TITLE=" + title + L"\r\nMESSAGE_PROGRESS_MESSAGE=" + message +
           L"\r\nOTHER=" + std::wstring(400, L'o') + L"\r\n";
}

// The notices of this process: dialogs, of which the progress thread makes no other.
HWND WaitForNotice(const wchar_t* title = nullptr, DWORD timeoutMs = kGuiTimeoutMs)
{
    WindowQuery query;
    query.processId = GetCurrentProcessId();
    query.className = kDialogClass;
    query.title = title;
    return WaitForTopLevelWindow(query, timeoutMs);
}

// Whether the notice shows its whole message: the text, wrapped as the static
// control wraps it, fits the control, and the control fits the notice.
testing::AssertionResult MessageFits(HWND notice)
{
    const HWND text = GetDlgItem(notice, IDC_PROGRESS_MESSAGE);
    if (!text)
        return testing::AssertionFailure() << "no message control";
    const std::wstring message = WindowText(text);
    RECT control = {};
    GetClientRect(text, &control);
    RECT needed = control;
    const HDC dc = GetDC(text);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
    DrawTextW(dc, message.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, previous);
    ReleaseDC(text, dc);
    RECT placed = {};
    GetWindowRect(text, &placed);
    MapWindowPoints(nullptr, notice, reinterpret_cast<POINT*>(&placed), 2);
    RECT client = {};
    GetClientRect(notice, &client);
    if (needed.right > control.right || needed.bottom > control.bottom) {
        return testing::AssertionFailure() << "the message needs " << needed.right << "x" << needed.bottom
                                           << " pixels, the control has " << control.right << "x"
                                           << control.bottom;
    }
    if (placed.right > client.right || placed.bottom > client.bottom)
        return testing::AssertionFailure() << "the message control reaches beyond the notice";
    return testing::AssertionSuccess();
}

// Whether the message control draws each of its characters with a glyph, and
// none as the box of a missing one (which is what Japanese text looks like
// when no font with Japanese glyphs is linked to the dialog's font).
testing::AssertionResult DrawsEveryGlyph(HWND notice)
{
    const HWND text = GetDlgItem(notice, IDC_PROGRESS_MESSAGE);
    const std::wstring message = WindowText(text);
    constexpr int kSize = 64;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
    const HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
    const auto draw = [&](wchar_t c) {
        const RECT all = {0, 0, kSize, kSize};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        TextOutW(dc, 2, 2, &c, 1);
        GdiFlush();
        const DWORD* pixels = static_cast<const DWORD*>(bits);
        return std::vector<DWORD>(pixels, pixels + kSize * kSize);
    };
    // U+0378 is unassigned: every font draws it as its missing glyph.
    const std::vector<DWORD> missing = draw(L'\x0378');
    std::wstring boxes;
    for (const wchar_t c : message) {
        if (c > L'~' && draw(c) == missing)
            boxes += c;
    }
    SelectObject(dc, previousFont);
    SelectObject(dc, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    if (message.empty())
        return testing::AssertionFailure() << "no message";
    if (!boxes.empty())
        return testing::AssertionFailure() << boxes.size() << " characters show as missing glyphs (the prefix"
                                              " needs the font links that scripts/wine-session makes)";
    return testing::AssertionSuccess();
}

class ProgressWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterSwitchDoneMsg(); }
};

TEST_F(ProgressWindowTest, SwitchDoneMsgIsTheRegisteredMessage)
{
    EXPECT_EQ(SwitchDoneMsg, RegisterWindowMessageW(kSwitchDoneMessage));
    EXPECT_GE(SwitchDoneMsg, 0xC000u);
}

TEST_F(ProgressWindowTest, ShowsItsTextsWithoutOwnerOrTitleBarUntilClosed)
{
    const std::wstring title = L"Notice – Gerät デバイス";
    TestTextFile file(ProgressSection(title, LR"(First line – Gerät\r\nデバイス)"));
    CTextMgr texts(file.Path(), kSettingsSection, 512);

    StartProgress(&texts);
    const HWND notice = WaitForNotice(title.c_str());
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(DialogItemText(notice, IDC_PROGRESS_MESSAGE), L"First line – Gerät\r\nデバイス");
    EXPECT_EQ(GetWindow(notice, GW_OWNER), nullptr);
    const LONG style = GetWindowLongW(notice, GWL_STYLE);
    EXPECT_NE(style & WS_CAPTION, WS_CAPTION) << "a title bar";
    EXPECT_EQ(style & WS_BORDER, WS_BORDER);
    EXPECT_TRUE(MessageFits(notice));
    EXPECT_TRUE(DrawsEveryGlyph(notice));
    EXPECT_TRUE(SaveWindowScreenshot(notice, L"progress-test-texts"));

    CloseProgress();
    EXPECT_TRUE(WaitForWindowGone(notice));
    // The notice's thread hides it before it destroys it: give that a moment.
    for (int i = 0; i < 100 && IsWindow(notice); ++i)
        Sleep(10);
    EXPECT_FALSE(IsWindow(notice)) << "hidden but not destroyed";
}

TEST_F(ProgressWindowTest, TextsAreCutToTheirBuffersAndMissingOnesAreEmpty)
{
    const struct {
        const wchar_t* what;
        std::wstring title;
        std::wstring message;
        std::wstring shownTitle;
        std::wstring shownMessage;
    } cases[] = {
        {L"longer than the buffers", std::wstring(300, L't'), std::wstring(700, L'm'), std::wstring(127, L't'),
         std::wstring(511, L'm')},
        {L"empty", L"", L"", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestTextFile file(ProgressSection(c.title, c.message));
        CTextMgr texts(file.Path(), kSettingsSection, 512);
        StartProgress(&texts);
        const HWND notice = WaitForNotice(c.shownTitle.c_str());
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(DialogItemText(notice, IDC_PROGRESS_MESSAGE), c.shownMessage);
        CloseProgress();
        EXPECT_TRUE(WaitForWindowGone(notice));
    }
}

TEST_F(ProgressWindowTest, WithoutTextManagerTheNoticeShowsNoText)
{
    StartProgress(nullptr);
    const HWND notice = WaitForNotice(L"");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(DialogItemText(notice, IDC_PROGRESS_MESSAGE), L"");
    CloseProgress();
    EXPECT_TRUE(WaitForWindowGone(notice));
}

// The thread that applies presets reads texts while a notice starts; neither
// side may see the other's half-written text.
TEST_F(ProgressWindowTest, TextsStayWholeWhileAnotherThreadReadsTexts)
{
    const std::wstring title = L"Title " + std::wstring(100, L'T');
    const std::wstring message = L"Message " + std::wstring(400, L'M');
    TestTextFile file(ProgressSection(title, message));
    CTextMgr texts(file.Path(), kSettingsSection, 512);

    std::atomic<bool> reading{true};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        const std::wstring other(400, L'o');
        while (reading) {
            if (texts.GetText(L"OTHER") != other)
                ++torn;
        }
    });
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        StartProgress(&texts);
        const HWND notice = WaitForNotice(title.c_str());
        EXPECT_NE(notice, nullptr);
        EXPECT_EQ(DialogItemText(notice, IDC_PROGRESS_MESSAGE), message);
        CloseProgress();
        EXPECT_TRUE(WaitForWindowGone(notice));
    }
    reading = false;
    reader.join();
    EXPECT_EQ(torn, 0);
}

// Exit codes of the child roles below.
enum ChildResult : DWORD {
    kDone = 0,
    kNoNotice = 2,
    kClosedTooEarly = 3,
    kNotClosed = 4,
    kWrongDpi = 5,
    kNoTextFile = 6,
    kClipped = 7,
    kMissingGlyphs = 8,
};

// A fresh process, where no notice was ever shown: closing first posts nothing
// that could close the notice shown next.
const ChildRole kCloseBeforeStart(L"close-before-start", [](const std::vector<std::wstring>&) -> int {
    RegisterSwitchDoneMsg();
    CloseProgress();
    StartProgress(nullptr);
    const HWND notice = WaitForNotice();
    if (!notice)
        return kNoNotice;
    PumpMessagesFor(500);
    if (!IsWindowVisible(notice))
        return kClosedTooEarly;
    CloseProgress();
    return WaitForWindowGone(notice) ? kDone : kNotClosed;
});

TEST_F(ProgressWindowTest, CloseBeforeTheNoticeExistsPostsNothing)
{
    EXPECT_EQ(RunChild(L"close-before-start", {}), DWORD(kDone));
}

// A preset that switches nothing closes the notice before its thread has made
// it: the notice still closes instead of staying until the process ends.
const ChildRole kCloseRightAfterStart(L"close-right-after-start", [](const std::vector<std::wstring>&) -> int {
    RegisterSwitchDoneMsg();
    StartProgress(nullptr);
    CloseProgress();
    const HWND notice = WaitForNotice(nullptr, 500);
    return !notice || WaitForWindowGone(notice) ? kDone : kNotClosed;
});

TEST_F(ProgressWindowTest, CloseRightAfterStartClosesTheNotice)
{
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(RunChild(L"close-right-after-start", {}), DWORD(kDone)) << "run " << run;
}

// Presets applied so fast that the notice may not exist yet when it is closed,
// and notices started over one another: none crashes or hangs the process.
const ChildRole kCloseRacesCreation(L"close-races-creation", [](const std::vector<std::wstring>&) -> int {
    RegisterSwitchDoneMsg();
    for (int i = 0; i < 25; ++i) {
        StartProgress(nullptr);
        if (i % 5 == 4)
            Sleep(1);
        CloseProgress();
    }
    PumpMessagesFor(1000);
    return kDone;
});

TEST_F(ProgressWindowTest, CloseRacingTheNoticesCreationNeverCrashes)
{
    EXPECT_EQ(RunChild(L"close-races-creation", {}), DWORD(kDone));
}

// Shows the notice of one language in a process of its own, which reads the
// screen's DPI as it starts; the parent takes the screenshot and closes it.
// Arguments: the language id (hexadecimal) and the DPI expected.
const ChildRole kShowNotice(L"show-notice", [](const std::vector<std::wstring>& args) -> int {
    RegisterSwitchDoneMsg();
    if (args.size() < 2 || ScreenDpi() != std::stoi(args[1]))
        return kWrongDpi;
    wchar_t path[CLocalPath::kPathChars] = {};
    const LANGID language = static_cast<LANGID>(std::stoul(args[0], nullptr, 16));
    if (!CLocalPath::FindLanguageFileIn(ProgramFolder().c_str(), language, path, kTextFile))
        return kNoTextFile;
    CTextMgr texts(path, kSettingsSection, 512);
    StartProgress(&texts);
    const HWND notice = WaitForNotice();
    if (!notice)
        return kNoNotice;
    const DWORD result = !MessageFits(notice) ? kClipped : !DrawsEveryGlyph(notice) ? kMissingGlyphs : kDone;
    if (!WaitForWindowGone(notice, 30000))
        return kNotClosed;
    return static_cast<int>(result);
});

TEST_F(ProgressWindowTest, ShowsTheWholeMessageInEveryLanguageAt100And150Percent)
{
    const struct {
        const wchar_t* language;
        const wchar_t* tag;
    } languages[] = {{L"0409", L"en"}, {L"0407", L"de"}, {L"0411", L"ja"}};
    for (const int percent : {100, 150}) {
        ScopedDpi scale(percent * 96 / 100);
        ASSERT_TRUE(scale.Applied());
        for (const auto& language : languages) {
            const std::wstring name = std::wstring(L"progress-") + language.tag + L"-" + std::to_wstring(percent);
            SCOPED_TRACE(testing::Message() << name);
            RunningProgram child(TestProgramPath(), std::wstring(L"--child=show-notice ") + language.language +
                                                        L" " + std::to_wstring(percent * 96 / 100));
            ASSERT_TRUE(child.Started());
            WindowQuery query;
            query.processId = child.ProcessId();
            query.className = kDialogClass;
            const HWND notice = WaitForTopLevelWindow(query);
            if (notice) {
                EXPECT_TRUE(SaveWindowScreenshot(notice, name));
                PostMessageW(notice, SwitchDoneMsg, 0, 0);
            }
            DWORD exitCode = 0;
            ASSERT_TRUE(child.WaitForExit(&exitCode));
            EXPECT_EQ(exitCode, DWORD(kDone)) << "2 no notice, 5 wrong DPI, 6 no text file, 7 clipped, 8 missing glyphs (font links of the prefix)";
        }
    }
}

} // namespace
