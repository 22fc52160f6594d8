// AirvaneSettingsDriver: plays the person at the settings window, for the demo:
// makes a new preset by selecting the new-preset entry, setting the check marks
// of the device tree, pressing OK, typing the name and saving it. Not shipped.
#include "automation/GuiWindows.h"
#include "automation/Screenshot.h"
#include "automation/SettingsWindow.h"
#include "foundation/CLocalPath.h"
#include "foundation/CTextMgr.h"
#include "foundation/Names.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kApplyMs = 60000;
constexpr int kTextChars = 512;

void Print(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

int Fail(const std::wstring& why)
{
    Print(L"AirvaneSettingsDriver: " + why + L"\n");
    return 1;
}

int Usage()
{
    std::fputs("usage: AirvaneSettingsDriver [--screenshots <folder>] <TALOSetting.exe> <preset name>\n"
               "                             <device>=on|off...\n"
               "Makes and saves a new preset in the settings window; <device> is a part of a\n"
               "device's name in the tree (case-insensitive), and every device it names gets\n"
               "that check mark. Screenshots: settings-window-<name>.png, register-dialog-<name>.png.\n",
               stderr);
    return 2;
}

std::wstring Upper(std::wstring text)
{
    if (!text.empty())
        CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The text file the program reads its texts from.
std::wstring TextFileOf(const std::wstring& programPath)
{
    wchar_t textFile[CLocalPath::kPathChars] = L"";
    const std::wstring folder = programPath.substr(0, programPath.find_last_of(L'\\') + 1);
    CLocalPath::FindLanguageFileIn(folder.c_str(), GetSystemDefaultLangID(), textFile, kTextFile);
    return textFile;
}

struct CheckMark {
    std::wstring device; // upper case
    bool on;
};

bool ReadCheckMark(const std::wstring& word, CheckMark* mark)
{
    const size_t equals = word.find_last_of(L'=');
    if (equals == std::wstring::npos || equals == 0)
        return false;
    const std::wstring value = Upper(word.substr(equals + 1));
    if (value != L"ON" && value != L"OFF")
        return false;
    *mark = {Upper(word.substr(0, equals)), value == L"ON"};
    return true;
}

void PrintTree(const SettingsWindow& window)
{
    for (const TreeEntry& entry : window.Devices())
        Print(std::wstring(L"    [") + (entry.checked ? L"x" : L" ") + L"] " + entry.text + L"\n");
}

bool Screenshot(HWND window, const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty())
        return true;
    const testing::AssertionResult saved = SaveWindowScreenshotAs(window, folder + name + L".png");
    if (!saved)
        std::printf("AirvaneSettingsDriver: no screenshot %ls: %s\n", name.c_str(), saved.message());
    return static_cast<bool>(saved);
}

int MakePreset(const std::wstring& programPath, const std::wstring& name, const std::vector<CheckMark>& marks,
               const std::wstring& screenshots)
{
    CTextMgr texts(TextFileOf(programPath).c_str(), kSettingsSection, kTextChars);
    const std::wstring title = texts.GetText(kSettingsWindowTitleKey);
    const std::wstring registerTitle = texts.GetText(L"GUIREG_NAME");
    const std::wstring newEntry = texts.GetText(L"IDS_EDITNEWPRESET");
    SettingsWindow window(programPath, title, registerTitle);
    if (!window.IsOpen())
        return Fail(L"the settings window \"" + title + L"\" did not open");
    Print(L"The settings window \"" + title + L"\" is open. Its presets:\n");
    const std::vector<std::wstring> presets = window.Presets();
    for (const std::wstring& preset : presets)
        Print(L"    " + preset + L"\n");

    if (presets.empty() || presets.back() != newEntry)
        return Fail(L"there is no entry \"" + newEntry + L"\": 16 presets are stored");
    window.Select(static_cast<int>(presets.size()) - 1);
    Print(L"Selected \"" + newEntry + L"\": the tree shows the devices found, checked when on:\n");
    PrintTree(window);

    const std::vector<TreeEntry> devices = window.Devices();
    for (const CheckMark& mark : marks) {
        bool found = false;
        for (size_t i = 0; i < devices.size(); ++i) {
            if (Upper(devices[i].text).find(mark.device) == std::wstring::npos)
                continue;
            found = true;
            if (!window.Check(static_cast<int>(i), mark.on))
                return Fail(L"cannot set the check mark of " + devices[i].text);
        }
        if (!found)
            return Fail(L"no device in the tree is named like " + mark.device);
    }
    Print(L"The check marks set for \"" + name + L"\":\n");
    PrintTree(window);
    if (!Screenshot(window.Dialog(), screenshots, L"settings-window-" + name))
        return 1;

    const HWND registerDialog = window.PressOkForRegister();
    if (!registerDialog)
        return Fail(L"OK opened no dialog \"" + registerTitle + L"\"");
    TypeName(registerDialog, name);
    Print(L"OK pressed; in the dialog \"" + WindowText(registerDialog) + L"\" typed \"" + NameField(registerDialog) +
          L"\", then pressed \"" + DialogItemText(registerDialog, IDOK) + L"\".\n");
    if (!Screenshot(registerDialog, screenshots, L"register-dialog-" + name))
        return 1;
    if (!PressButton(registerDialog, IDOK))
        return Fail(L"the register button cannot be pressed");

    DWORD exitCode = 0;
    if (!window.Program().WaitForExit(&exitCode, kApplyMs))
        return Fail(L"the settings program has not ended");
    Print(L"The settings program saved \"" + name + L"\", applied it and ended (exit code " +
          std::to_wstring(exitCode) + L").\n");
    return exitCode == 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::wstring> args(argv + 1, argv + argc);
    std::wstring screenshots;
    if (args.size() >= 2 && args[0] == L"--screenshots") {
        screenshots = args[1];
        if (!screenshots.empty() && screenshots.back() != L'\\')
            screenshots += L'\\';
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() < 3 || args[1].empty())
        return Usage();
    std::vector<CheckMark> marks;
    for (size_t i = 2; i < args.size(); ++i) {
        CheckMark mark;
        if (!ReadCheckMark(args[i], &mark))
            return Usage();
        marks.push_back(mark);
    }
    return MakePreset(args[0], args[1], marks, screenshots);
}
