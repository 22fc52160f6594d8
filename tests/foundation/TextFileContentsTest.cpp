// Checks the text files that the build puts beside the programs: every
// language is found, and every file holds every key the programs read.
#include "foundation/CLocalPath.h"
#include "foundation/CTextMgr.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

enum class Kind {
    Text,   // shown as it stands: not empty, no % directive
    Format, // wsprintfW format with the device name: exactly one %s
    Fixed,  // device configuration, the same in every language
    Absent, // the key after the last entry, which ends a list
};

struct Required {
    const wchar_t* section;
    const wchar_t* key;
    Kind kind;
    const wchar_t* value = nullptr; // Fixed only
    size_t maxLength = 511;         // the longest text the reader keeps
};

Required Text(const wchar_t* section, const wchar_t* key, size_t maxLength = 511)
{
    return {section, key, Kind::Text, nullptr, maxLength};
}
Required Format(const wchar_t* key)
{
    return {kSettingsSection, key, Kind::Format};
}
Required Fixed(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    return {section, key, Kind::Fixed, value};
}
Required Absent(const wchar_t* section, const wchar_t* key)
{
    return {section, key, Kind::Absent};
}

// Window titles and menu texts are held in 128 characters, catalog values in
// 128, and the shell shows at most 63 characters of the tray icon's tooltip.
const std::vector<Required> kRequired = {
    Text(kSettingsSection, L"GUIWIN_NAME", 127),
    Format(L"ERROR_ENABLE"),
    Format(L"ERROR_DISABLE"),
    Format(L"MSG_RESTART_NEEDED"),
    Text(kSettingsSection, L"IDC_PROGRAM_TITLE"),
    Text(kSettingsSection, L"IDC_COPYRIGHT"),
    Text(kSettingsSection, L"IDC_MAIN_DESC"),
    Text(kSettingsSection, L"IDC_LBL_PRESET"),
    Text(kSettingsSection, L"IDC_LBL_STATUS"),
    Text(kSettingsSection, L"IDC_LBL_TRAYICON"),
    Text(kSettingsSection, L"IDC_DELETE_PRESER"),
    Text(kSettingsSection, L"IDC_IDOK"),
    Text(kSettingsSection, L"IDC_IDCANCEL"),
    Text(kSettingsSection, L"IDS_EDITNEWPRESET"),
    Text(kSettingsSection, L"IDS_CHANGESETTING"),
    Text(kSettingsSection, L"IDS_CHANGEDONE"),
    Text(kSettingsSection, L"MSG_DELETEPRESET"),
    Text(kSettingsSection, L"GUIREG_NAME", 127),
    Text(kSettingsSection, L"IDC_REG_DESCLIPTION"),
    Text(kSettingsSection, L"IDC_LBL_NEWPRESETNAME"),
    Text(kSettingsSection, L"IDOK_REGISTER"),
    Text(kSettingsSection, L"IDC_APPLYONLY"),
    Text(kSettingsSection, L"ERROR_INPUTNAME"),
    Text(kSettingsSection, L"MESSAGE_PROGRESS_TITLE", 127),
    Text(kSettingsSection, L"MESSAGE_PROGRESS_MESSAGE"),

    Text(kLauncherSection, L"IDS_PROGRAM_TITLE", 63),
    Text(kLauncherSection, L"IDS_MENU_SETTING", 127),

    Fixed(kDeviceListSection, L"0", L"WLAN"),
    Fixed(kDeviceListSection, L"1", L"UMTS"),
    Fixed(kDeviceListSection, L"2", L"BLUETOOTH"),
    Absent(kDeviceListSection, L"3"),

    Fixed(kUmtsSection, L"UMTS0_ROOT_CLASS", L"USB"),
    Fixed(kUmtsSection, L"UMTS0_ROOT_HWID", L"USB\\VID_1E0E&PID_9001"),
    Text(kUmtsSection, L"UMTS0_ROOT_DISPLAYNAME", 127),
    Fixed(kUmtsSection, L"UMTS0_SUBNUM", L"2"),
    Fixed(kUmtsSection, L"UMTS0_SUB0_CLASS", L"Ports"),
    Fixed(kUmtsSection, L"UMTS0_SUB0_HWID", L"USB\\VID_1E0E&PID_9001&MI_01"),
    Fixed(kUmtsSection, L"UMTS0_SUB1_CLASS", L"Modem"),
    Fixed(kUmtsSection, L"UMTS0_SUB1_HWID", L"USB\\VID_1E0E&PID_9001&MI_02"),
    Fixed(kUmtsSection, L"UMTS1_ROOT_CLASS", L"USB"),
    Fixed(kUmtsSection, L"UMTS1_ROOT_HWID", L"USB\\VID_1E0E&PID_9011"),
    Text(kUmtsSection, L"UMTS1_ROOT_DISPLAYNAME", 127),
    Fixed(kUmtsSection, L"UMTS1_SUBNUM", L"2"),
    Fixed(kUmtsSection, L"UMTS1_SUB0_CLASS", L"Ports"),
    Fixed(kUmtsSection, L"UMTS1_SUB0_HWID", L"USB\\VID_1E0E&PID_9011&MI_01"),
    Fixed(kUmtsSection, L"UMTS1_SUB1_CLASS", L"Modem"),
    Fixed(kUmtsSection, L"UMTS1_SUB1_HWID", L"USB\\VID_1E0E&PID_9011&MI_02"),
    Absent(kUmtsSection, L"UMTS2_ROOT_CLASS"),

    // The radio alone, by the buses it attaches through: never the devices the
    // system's stack lists below it (BTH\, BTHENUM\, BTHLE\), nor an empty prefix.
    Fixed(L"BLUETOOTH", L"0_Class", L"Bluetooth"),
    Fixed(L"BLUETOOTH", L"0_HwId", L"USB\\"),
    Text(L"BLUETOOTH", L"0_DisplayName", 127),
    Fixed(L"BLUETOOTH", L"1_Class", L"Bluetooth"),
    Fixed(L"BLUETOOTH", L"1_HwId", L"SD\\"),
    Text(L"BLUETOOTH", L"1_DisplayName", 127),
    Absent(L"BLUETOOTH", L"2_Class"),
};

constexpr wchar_t kMissing[] = L"\x1(missing)";

testing::AssertionResult Meets(const Required& required, const std::wstring& value)
{
    if (required.kind == Kind::Absent) {
        if (value == kMissing)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "should be missing but is \"" << value << "\"";
    }
    if (value == kMissing)
        return testing::AssertionFailure() << "is missing";
    if (required.kind == Kind::Fixed) {
        if (value == required.value)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "is \"" << value << "\", not \"" << required.value << "\"";
    }
    if (value.empty())
        return testing::AssertionFailure() << "is empty";
    if (value.size() > required.maxLength)
        return testing::AssertionFailure() << "has " << value.size() << " characters, more than "
                                           << required.maxLength;
    const size_t percent = value.find(L'%');
    if (required.kind == Kind::Text && percent != std::wstring::npos)
        return testing::AssertionFailure() << "holds a % directive: \"" << value << "\"";
    const bool oneString = percent != std::wstring::npos && value.compare(percent, 2, L"%s") == 0 &&
                           value.find(L'%', percent + 1) == std::wstring::npos;
    if (required.kind == Kind::Format && !oneString)
        return testing::AssertionFailure() << "is not a format with exactly one %s: \"" << value << "\"";
    return testing::AssertionSuccess();
}

std::string Utf8(const std::wstring& text)
{
    std::string result(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &result[0], static_cast<int>(result.size()), nullptr, nullptr);
    result.pop_back();
    return result;
}

std::wstring ReadFileText(const std::wstring& path)
{
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::wstring text(GetFileSize(file.Get(), nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    if (!file || !ReadFile(file.Get(), &text[0], static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr))
        return L"";
    return text;
}

// GetPrivateProfileStringW reads a file as Unicode only when it starts with the byte-order mark.
testing::AssertionResult IsUtf16WithCrLf(const std::wstring& path)
{
    const std::wstring text = ReadFileText(path);
    if (text.empty() || text[0] != L'\xFEFF')
        return testing::AssertionFailure() << "does not start with the UTF-16LE byte-order mark";
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == L'\n' && text[i - 1] != L'\r')
            return testing::AssertionFailure() << "has a line feed without carriage return at " << i;
    }
    return testing::AssertionSuccess();
}

// The output folders lie beside the test programs' folder: build\tests\x.exe, build\sim\bin.
std::wstring BuildFolder()
{
    wchar_t path[MAX_PATH];
    std::wstring folder(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    folder.resize(folder.rfind(L'\\'));
    folder.resize(folder.rfind(L'\\') + 1);
    return folder;
}

class TextFilesTest : public testing::TestWithParam<const wchar_t*> {
protected:
    std::wstring OutputFolder() const { return BuildFolder() + GetParam(); }
};

TEST_P(TextFilesTest, EveryLanguageFindsItsFolder)
{
    const struct {
        LANGID language;
        const wchar_t* folder;
    } cases[] = {
        {0x0409, L"English"}, {0x0809, L"English"}, {0x0c09, L"English"},
        {0x0407, L"German"},  {0x0807, L"German"},  {0x0c07, L"German"},
        {0x0411, L"Japanese"}, {0x040c, L"English"}, // French: the Default entry
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "language " << std::hex << c.language);
        wchar_t found[MAX_PATH] = L"";
        EXPECT_EQ(CLocalPath::FindLanguageFileIn(OutputFolder().c_str(), c.language, found, kTextFile), 1);
        EXPECT_EQ(found, OutputFolder() + c.folder + L"\\" + kTextFile);
    }
}

TEST_P(TextFilesTest, EveryLanguageFileHoldsEveryKeyTheProgramsRead)
{
    // Every folder that "Language.ini" names, Default included.
    const std::wstring languageIni = OutputFolder() + kLanguageIniFile;
    ASSERT_TRUE(IsUtf16WithCrLf(languageIni)) << Utf8(languageIni);
    wchar_t entries[4096];
    GetPrivateProfileSectionW(L"Folder", entries, ARRAYSIZE(entries), languageIni.c_str());
    std::set<std::wstring> folders;
    for (const wchar_t* entry = entries; *entry; entry += wcslen(entry) + 1) {
        if (const wchar_t* value = wcschr(entry, L'='))
            folders.insert(value + 1);
    }
    EXPECT_EQ(folders, (std::set<std::wstring>{L"English", L"German", L"Japanese"}));

    for (const std::wstring& folder : folders) {
        const std::wstring path = OutputFolder() + folder + L"\\" + kTextFile;
        SCOPED_TRACE(Utf8(path));
        ASSERT_TRUE(IsUtf16WithCrLf(path));
        CTextMgr texts(path.c_str(), L"", 2048); // longer than any reader keeps
        int counts[4] = {};
        for (const Required& required : kRequired) {
            texts.SetSection(required.section);
            EXPECT_TRUE(Meets(required, texts.GetText(required.key, kMissing)))
                << "[" << required.section << "] " << required.key;
            ++counts[static_cast<int>(required.kind)];
        }
        // The running settings window is found by its title.
        texts.SetSection(kSettingsSection);
        const std::wstring title = texts.GetText(L"GUIWIN_NAME");
        EXPECT_NE(title, texts.GetText(L"GUIREG_NAME"));
        EXPECT_NE(title, texts.GetText(L"MESSAGE_PROGRESS_TITLE"));

        const std::wstring name = GetParam() + folder + L"\\" + kTextFile;
        std::printf("[ checked  ] %s: %d keys (%d texts, %d formats, %d fixed, %d list ends)\n",
                    Utf8(name).c_str(), static_cast<int>(kRequired.size()), counts[0], counts[1],
                    counts[2], counts[3]);
    }
}

INSTANTIATE_TEST_SUITE_P(OutputFolders, TextFilesTest, testing::Values(L"bin\\", L"sim\\bin\\"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return info.index == 0 ? std::string("Shipping") : std::string("Simulated");
                         });

} // namespace
