#include "automation/BuildPrograms.h"
#include "automation/GuiWindows.h"
#include "automation/RegistrySnapshot.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "launcher/LauncherWindow.h"
#include "sim/SimNotebook.h"
#include "tests/support/ScopedSimMachine.h"
#include "tests/support/SoakFigures.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <functional>
#include <string>
#include <vector>

// Bad stored presets and bad text files, each tried against both programs,
// started from an install folder of the test's own on a simulated notebook of
// its own, without the service (every request is refused at once): the
// settings window, STATUS, /p0; the launcher's start and its menu. Every run
// must end in time, without a crash, with message boxes that the test answers.

namespace {

constexpr wchar_t kGoodTexts[] = L"[TALOGUI]\nGUIWIN_NAME=Bad Data Test\nERROR_ENABLE=Could not switch on %s\n"
                                 L"ERROR_DISABLE=Could not switch off %s\n[TALOLNC]\nIDS_PROGRAM_TITLE=Bad Data Tray\n"
                                 L"IDS_MENU_SETTING=Settings...\n[DeviceList]\n0=WLAN\n1=UMTS\n"
                                 L"[UMTS]\nUMTS0_ROOT_CLASS=USB\nUMTS0_ROOT_HWID=USB\\VID_1E0E&PID_9001\n"
                                 L"UMTS0_SUBNUM=1\nUMTS0_SUB0_CLASS=Ports\nUMTS0_SUB0_HWID=USB\\VID_1E0E&PID_9001&MI_01\n";

// Every text key the programs read, for the cases that fill them all.
const wchar_t* const kGuiKeys[] = {
    L"GUIWIN_NAME", L"ERROR_ENABLE", L"ERROR_DISABLE", L"IDC_PROGRAM_TITLE", L"IDC_COPYRIGHT", L"IDC_MAIN_DESC",
    L"IDC_LBL_PRESET", L"IDC_LBL_STATUS", L"IDC_LBL_TRAYICON", L"IDC_DELETE_PRESER", L"IDC_IDOK", L"IDC_IDCANCEL",
    L"IDS_EDITNEWPRESET", L"IDS_CHANGESETTING", L"IDS_CHANGEDONE", L"MSG_DELETEPRESET", L"GUIREG_NAME",
    L"IDC_REG_DESCLIPTION", L"IDC_LBL_NEWPRESETNAME", L"IDOK_REGISTER", L"IDC_APPLYONLY", L"ERROR_INPUTNAME",
    L"MESSAGE_PROGRESS_TITLE", L"MESSAGE_PROGRESS_MESSAGE"};

std::wstring EveryText(const std::wstring& value)
{
    std::wstring text = L"[TALOGUI]\n";
    for (const wchar_t* key : kGuiKeys)
        text += std::wstring(key) + L"=" + value + L"\n";
    text += L"[TALOLNC]\nIDS_PROGRAM_TITLE=" + value + L"\nIDS_MENU_SETTING=" + value + L"\n";
    text += L"[DeviceList]\n0=WLAN\n1=" + value + L"\n[" + value + L"]\n0_Class=" + value + L"\n0_HwId=" + value +
            L"\n0_DisplayName=" + value + L"\n";
    return text;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

// ---- Presets as the registry may hold them.

const std::wstring kSettingKey = std::wstring(kProductKey) + L"\\" + kSettingSubKey;

void PutString(HKEY key, const std::wstring& name, const std::wstring& text)
{
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void PutDWord(HKEY key, const std::wstring& name, DWORD number)
{
    RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
}

RegKey PresetKey(int index)
{
    RegKey key;
    const std::wstring path = kSettingKey + L"\\Preset" + std::to_wstring(index);
    RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
    return key;
}

void StoreDevice(HKEY key, int k, const std::wstring& name, const std::wstring& className, const std::wstring& hwId,
                 DWORD setting)
{
    const std::wstring n = std::to_wstring(k);
    PutString(key, n + L"_DeviceName", name);
    PutString(key, n + L"_Class", className);
    PutString(key, n + L"_HwId", hwId);
    PutDWord(key, n + L"_Setting", setting);
    PutString(key, n + L"_DisplayName", L"");
}

void WrongTypes()
{
    RegKey first = PresetKey(0);
    PutString(first.Get(), L"Name", L"Wrong types");
    StoreDevice(first.Get(), 0, L"WLAN", L"Net", L"PCI\\VEN_168C", 1);
    PutString(first.Get(), L"0_Setting", L"1");                          // text where a number belongs
    const BYTE bytes[] = {1, 2, 3};
    RegSetValueExW(first.Get(), L"1_DeviceName", 0, REG_BINARY, bytes, sizeof(bytes)); // odd byte count
    RegSetValueExW(first.Get(), L"1_Class", 0, REG_BINARY, bytes, 2);
    RegSetValueExW(first.Get(), L"1_HwId", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(L"A\0B\0"), 10);
    const BYTE quad[8] = {1};
    RegSetValueExW(first.Get(), L"1_Setting", 0, REG_QWORD, quad, sizeof(quad));
    RegKey second = PresetKey(1);
    PutDWord(second.Get(), L"Name", 7);                                 // a number where the name belongs
    StoreDevice(second.Get(), 0, L"Modem", L"#UMTS#", L"USB\\VID_1E0E&PID_9001", 0);
}

void LongNames()
{
    const std::wstring huge(10000, L'N');
    RegKey key = PresetKey(0);
    PutString(key.Get(), L"Name", huge);
    StoreDevice(key.Get(), 0, huge, L"Net", huge, 1);
    StoreDevice(key.Get(), 1, L"Long class", huge, L"", 0);
    StoreDevice(key.Get(), 2, L"Long modem", L"#UMTS#", huge, 1);
    PutString(key.Get(), L"2_DisplayName", huge);
}

void ManyPresets()
{
    for (int i = 0; i < 1000; ++i) {
        RegKey key = PresetKey(i);
        PutString(key.Get(), L"Name", L"Preset number " + std::to_wstring(i));
        StoreDevice(key.Get(), 0, L"Modem", L"#UMTS#", L"USB\\VID_1E0E&PID_9001", i % 2);
    }
}

void Gaps()
{
    RegKey first = PresetKey(0);
    PutString(first.Get(), L"Name", L"With a gap");
    StoreDevice(first.Get(), 0, L"Modem", L"#UMTS#", L"USB\\VID_1E0E&PID_9001", 1);
    StoreDevice(first.Get(), 2, L"After the gap", L"Net", L"PCI", 0);
    RegKey third = PresetKey(2);
    PutString(third.Get(), L"Name", L"After a missing preset");
    StoreDevice(third.Get(), 0, L"Modem", L"#UMTS#", L"USB\\VID_1E0E&PID_9001", 0);
}

void OnePreset()
{
    RegKey key = PresetKey(0);
    PutString(key.Get(), L"Name", L"Plain");
    StoreDevice(key.Get(), 0, L"Modem", L"#UMTS#", L"USB\\VID_1E0E&PID_9001", 1);
}

// ---- The cases.

struct BadCase {
    const char* name;
    std::function<bool(const TempFolder&)> files; // the text files of the install
    std::function<void()> presets;
    const wchar_t* title; // the settings window's title, when the case fixes it
};

bool StandardFiles(const TempFolder& folder, const std::wstring& texts)
{
    return folder.WriteTextFile(kLanguageIniFile, L"[Folder]\nDefault=English\n") && folder.CreateFolder(L"English") &&
           folder.WriteTextFile(L"English\\TALOTXT.ini", texts);
}

const std::wstring kLong600 = std::wstring(600, L'L');
const std::wstring kDirectives = L"%s %n %d %x %% %S %ls %1 %*s %.9999s";

std::vector<BadCase> Cases()
{
    const auto good = [](const TempFolder& folder) { return StandardFiles(folder, kGoodTexts); };
    static const std::wstring longTitle = kLong600.substr(0, 127);
    static const std::wstring directiveTitle = kDirectives;
    return {
        {"presets of wrong value types", good, WrongTypes, L"Bad Data Test"},
        {"names of 10,000 characters", good, LongNames, L"Bad Data Test"},
        {"1,000 presets", good, ManyPresets, L"Bad Data Test"},
        {"keys with gaps", good, Gaps, L"Bad Data Test"},
        {"no text file",
         [](const TempFolder& folder) {
             return folder.WriteTextFile(kLanguageIniFile, L"[Folder]\nDefault=English\n") &&
                    folder.CreateFolder(L"English");
         },
         OnePreset, L""},
        {"an empty text file", [](const TempFolder& folder) { return StandardFiles(folder, L""); }, OnePreset, L""},
        {"no DeviceList",
         [](const TempFolder& folder) { return StandardFiles(folder, L"[TALOGUI]\nGUIWIN_NAME=No List\n"); },
         OnePreset, L"No List"},
        {"values of 600 characters", [](const TempFolder& folder) { return StandardFiles(folder, EveryText(kLong600)); },
         OnePreset, longTitle.c_str()},
        {"format directives in every text",
         [](const TempFolder& folder) { return StandardFiles(folder, EveryText(kDirectives)); }, OnePreset,
         directiveTitle.c_str()},
        {"UTF-8 without a byte-order mark",
         [](const TempFolder& folder) {
             return folder.WriteTextFile(kLanguageIniFile, L"[Folder]\nDefault=English\n") &&
                    folder.CreateFolder(L"English") &&
                    WriteBytes(folder.Path() + L"English\\TALOTXT.ini",
                               "[TALOGUI]\r\nGUIWIN_NAME=Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC\r\n"
                               "ERROR_ENABLE=\xC3\xA9 %s\r\n[DeviceList]\r\n0=WLAN\r\n1=UMTS\r\n");
         },
         OnePreset, nullptr},
        {"ANSI",
         [](const TempFolder& folder) {
             return folder.WriteTextFile(kLanguageIniFile, L"[Folder]\nDefault=English\n") &&
                    folder.CreateFolder(L"English") &&
                    WriteBytes(folder.Path() + L"English\\TALOTXT.ini",
                               "[TALOGUI]\r\nGUIWIN_NAME=Gr\xFC\xDF" "e \xE9\xE8\r\nERROR_ENABLE=\xE9 %s\r\n"
                               "[DeviceList]\r\n0=WLAN\r\n1=UMTS\r\n");
         },
         OnePreset, nullptr},
        {"no Language.ini",
         [](const TempFolder& folder) {
             return folder.CreateFolder(L"English") && folder.WriteTextFile(L"English\\TALOTXT.ini", kGoodTexts);
         },
         OnePreset, L""},
        {"Language.ini naming missing folders",
         [](const TempFolder& folder) {
             return folder.WriteTextFile(kLanguageIniFile,
                                         L"[Folder]\n0x0409=Nowhere\n0x0407=..\\..\\Elsewhere\nDefault=Missing\n");
         },
         OnePreset, L""},
    };
}

// One run of a program of the install; every message box is answered with OK.
struct ProgramRun {
    bool ended = false;
    DWORD exitCode = 0;
    std::vector<std::wstring> boxes;
    bool sawWindow = false;
    bool sawMenu = false;
    std::wstring title;
};

void AnswerBoxes(const RunningProgram& program, ProgramRun& run)
{
    while (const HWND box = WaitForMessageBox(program.ProcessId(), 100)) {
        run.boxes.push_back(WindowText(box));
        PressButton(box, IDOK);
        WaitForWindowGone(box, 2000);
    }
}

// Runs the program with the arguments to its end, answering its boxes; while
// it runs, `during` may act on it (and then end it).
ProgramRun RunProgram(const std::wstring& path, const std::wstring& arguments,
               const std::function<void(RunningProgram&, ProgramRun&)>& during = nullptr)
{
    ProgramRun run;
    RunningProgram program(path, arguments);
    if (!program.Started())
        return run;
    if (during)
        during(program, run);
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (program.IsRunning() && GetTickCount64() < deadline)
        AnswerBoxes(program, run);
    run.ended = program.WaitForExit(&run.exitCode, 0);
    return run;
}

// A crash ends a program with an exception code; ours end with small codes.
testing::AssertionResult EndedCleanly(const ProgramRun& run, const char* what)
{
    if (!run.ended)
        return testing::AssertionFailure() << what << ": still running after a minute";
    if (run.exitCode >= 0x80000000u || run.exitCode == RunningProgram::kKilledExitCode)
        return testing::AssertionFailure() << what << ": ended with 0x" << std::hex << run.exitCode;
    return testing::AssertionSuccess();
}

} // namespace

TEST(BadData, EveryCaseLeavesBothProgramsWorking)
{
    ScopedSimMachine machine;
    CSimNotebook notebook;
    ASSERT_EQ(SeedDemoNotebook(notebook), 1);
    RegistrySnapshot presets(HKEY_CURRENT_USER, kSettingKey);
    RegistrySnapshot deviceList(HKEY_LOCAL_MACHINE, kDeviceListKey);
    if (KernelHandle(OpenFileMappingW(FILE_MAP_READ, FALSE, kRequestBlockName)))
        GTEST_SKIP() << "a switching service runs on this machine";

    long long cases = 0, failures = 0;
    for (const BadCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const int failuresBefore = testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        TempFolder install;
        ASSERT_TRUE(CopyFileW(ProgramPath(kSettingsProgramFile).c_str(), (install.Path() + kSettingsProgramFile).c_str(),
                              FALSE));
        ASSERT_TRUE(CopyFileW(ProgramPath(kLauncherProgramFile).c_str(), (install.Path() + kLauncherProgramFile).c_str(),
                              FALSE));
        ASSERT_TRUE(c.files(install));
        presets.Remove();
        c.presets();
        const std::wstring settings = install.Path() + kSettingsProgramFile;
        const std::wstring launcher = install.Path() + kLauncherProgramFile;

        // The settings window: it opens with its title, and closes on WM_CLOSE.
        const ProgramRun window = RunProgram(settings, L"", [&c](RunningProgram& program, ProgramRun& run) {
            WindowQuery query;
            query.processId = program.ProcessId();
            query.className = L"#32770";
            for (ULONGLONG deadline = GetTickCount64() + 20000; GetTickCount64() < deadline && !run.sawWindow;) {
                const HWND dialog = WaitForTopLevelWindow(query, 200);
                if (dialog && !WaitForMessageBox(program.ProcessId(), 0)) {
                    run.sawWindow = true;
                    // The window may show before its initialisation has given it its title.
                    for (ULONGLONG settled = GetTickCount64() + 5000;
                         c.title && WindowText(dialog) != c.title && GetTickCount64() < settled;)
                        Sleep(20);
                    run.title = WindowText(dialog);
                    PostMessageW(dialog, WM_CLOSE, 0, 0);
                } else {
                    AnswerBoxes(program, run);
                }
            }
        });
        EXPECT_TRUE(EndedCleanly(window, "settings window"));
        EXPECT_TRUE(window.sawWindow) << "the settings window did not open";
        if (c.title) {
            EXPECT_EQ(window.title, c.title);
        }

        // STATUS answers for the demo notebook's WLAN adapter whatever the text file says.
        const ProgramRun status = RunProgram(settings, L"STATUS=WLAN");
        EXPECT_TRUE(EndedCleanly(status, "STATUS"));
        EXPECT_EQ(status.exitCode, 1u) << "STATUS=WLAN";
        EXPECT_EQ(status.boxes, std::vector<std::wstring>{L"Device Status - Airvane"});

        const ProgramRun preset = RunProgram(settings, L"/p0");
        EXPECT_TRUE(EndedCleanly(preset, "/p0"));
        EXPECT_EQ(preset.exitCode, 0u);

        // The launcher: its window, its menu opened and closed, its end.
        const ProgramRun tray = RunProgram(launcher, L"", [](RunningProgram& program, ProgramRun& run) {
            WindowQuery query;
            query.processId = program.ProcessId();
            query.className = kLauncherWindowClass;
            query.visibleOnly = false;
            const HWND window = WaitForTopLevelWindow(query, 20000);
            run.sawWindow = window != nullptr;
            if (!window)
                return;
            PostMessageW(window, TrayCallbackMsg, 0, WM_RBUTTONUP);
            WindowQuery menuQuery;
            menuQuery.processId = program.ProcessId();
            menuQuery.className = L"#32768";
            const HWND menu = WaitForTopLevelWindow(menuQuery, 20000);
            run.sawMenu = menu != nullptr;
            PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
            if (menu)
                WaitForWindowGone(menu, 5000);
            PostMessageW(window, WM_DESTROY, 0, 0);
        });
        EXPECT_TRUE(EndedCleanly(tray, "launcher"));
        EXPECT_TRUE(tray.sawWindow) << "the launcher's window did not appear";
        EXPECT_TRUE(tray.sawMenu) << "the launcher's menu did not open";
        EXPECT_TRUE(tray.boxes.empty()) << "the launcher shows no message";

        std::cout << c.name << ": window title of " << window.title.size() << " characters, /p0 answered with "
                  << preset.boxes.size() << " message boxes\n";
        ++cases;
        const int failuresAfter = testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        failures += failuresAfter > failuresBefore ? 1 : 0;
    }
    ReportCount("bad-data-cases", cases);
    ReportCount("bad-data-failures", failures);
}
