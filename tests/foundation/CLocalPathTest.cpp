#include "foundation/CLocalPath.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kPathChars = CLocalPath::kPathChars;
constexpr wchar_t kTextFile[] = L"TALOTXT.ini";

// A path buffer followed by a guard that no call may write to.
struct GuardedPath {
    wchar_t text[kPathChars] = L"untouched";
    wchar_t guard[4] = {L'#', L'#', L'#', L'#'};

    bool GuardIntact() const { return std::wstring(guard, 4) == L"####"; }
};

std::wstring ProgramFolder()
{
    wchar_t path[kPathChars];
    std::wstring program(path, GetModuleFileNameW(nullptr, path, kPathChars));
    return program.substr(0, program.rfind(L'\\') + 1);
}

TEST(MakeLocalPath, AppendsTheRelativePathToTheProgramFolder)
{
    for (const wchar_t* relative : {L"TALOSetting.exe", L"German\\TALOTXT.ini", L""}) {
        SCOPED_TRACE(testing::Message() << "relative " << relative);
        GuardedPath output;
        EXPECT_EQ(CLocalPath::MakeLocalPath(output.text, relative), 1);
        EXPECT_EQ(output.text, ProgramFolder() + relative);
    }
}

TEST(MakeLocalPath, ResultThatDoesNotFitLeavesTheOutputEmpty)
{
    const struct {
        size_t length; // of the whole result
        int result;
    } cases[] = {{kPathChars - 1, 1}, {kPathChars, 0}, {3 * kPathChars, 0}};
    const std::wstring folder = ProgramFolder();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "length " << c.length);
        const std::wstring relative(c.length - folder.size(), L'x');
        GuardedPath output;
        EXPECT_EQ(CLocalPath::MakeLocalPath(output.text, relative.c_str()), c.result);
        EXPECT_EQ(output.text, c.result ? folder + relative : L"");
        EXPECT_TRUE(output.GuardIntact());
    }
}

// The program folder is a temporary folder with its own "Language.ini".
class FindLanguageFileTest : public testing::Test {
protected:
    void WriteLanguageIni(const std::wstring& entries)
    {
        ASSERT_TRUE(program_.WriteTextFile(L"Language.ini", L"[Folder]\n" + entries));
    }
    void AddTextFile(const std::wstring& folder)
    {
        ASSERT_TRUE(program_.CreateFolder(folder));
        ASSERT_TRUE(program_.WriteTextFile(folder + L"\\" + kTextFile, L"[TALOGUI]\n"));
    }
    int Find(LANGID language, GuardedPath& output)
    {
        return CLocalPath::FindLanguageFileIn(program_.Path().c_str(), language, output.text,
                                              kTextFile);
    }
    std::wstring TextFileIn(const std::wstring& folder) const
    {
        return program_.Path() + folder + L"\\" + kTextFile;
    }

    TempFolder program_;
};

TEST_F(FindLanguageFileTest, TheLanguageEntryComesBeforeDefault)
{
    WriteLanguageIni(L"Default=English\n0x0407=German\n0x0c07=Austrian\n0xc07=English\n");
    AddTextFile(L"English");
    AddTextFile(L"German");
    AddTextFile(L"Austrian");
    const struct {
        LANGID language;
        const wchar_t* folder;
    } cases[] = {{0x0407, L"German"}, {0x0c07, L"Austrian"}, {0x0409, L"English"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "language " << c.language);
        GuardedPath output;
        EXPECT_EQ(Find(c.language, output), 1);
        EXPECT_EQ(output.text, TextFileIn(c.folder));
    }
}

TEST_F(FindLanguageFileTest, LanguageFolderWithoutTheFileFallsBackToDefault)
{
    WriteLanguageIni(L"Default=English\n0x0411=Japanese\n");
    AddTextFile(L"English");
    ASSERT_TRUE(program_.CreateFolder(L"Japanese"));
    GuardedPath output;
    EXPECT_EQ(Find(0x0411, output), 1);
    EXPECT_EQ(output.text, TextFileIn(L"English"));
}

TEST_F(FindLanguageFileTest, DirectoryNamedLikeTheFileCountsAsMissing)
{
    WriteLanguageIni(L"Default=English\n0x0411=Japanese\n0x0407=German\n");
    ASSERT_TRUE(program_.CreateFolder(L"Japanese"));
    ASSERT_TRUE(program_.CreateFolder(L"Japanese\\TALOTXT.ini"));
    AddTextFile(L"German");
    GuardedPath output;
    EXPECT_EQ(Find(0x0411, output), 0) << "the Default folder is missing too";
    EXPECT_STREQ(output.text, L"untouched");

    AddTextFile(L"English");
    EXPECT_EQ(Find(0x0411, output), 1);
    EXPECT_EQ(output.text, TextFileIn(L"English"));
}

TEST(FindLanguageFile, NoUsableEntryLeavesTheOutputUntouched)
{
    const struct {
        const char* name;
        const wchar_t* languageIni; // null: no such file
    } cases[] = {
        {"no Language.ini", nullptr},
        {"no entry and no Default", L"[Folder]\n0x0407=German\n"},
        {"empty Default", L"[Folder]\nDefault=\n"},
        {"Default folder missing", L"[Folder]\nDefault=French\n"},
        {"other section", L"[Folders]\nDefault=English\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder program;
        ASSERT_TRUE(program.CreateFolder(L"English"));
        ASSERT_TRUE(program.WriteTextFile(L"English\\TALOTXT.ini", L"[TALOGUI]\n"));
        if (c.languageIni) {
            ASSERT_TRUE(program.WriteTextFile(L"Language.ini", c.languageIni));
        }
        GuardedPath output;
        EXPECT_EQ(CLocalPath::FindLanguageFileIn(program.Path().c_str(), 0x0409, output.text,
                                                 kTextFile), 0);
        EXPECT_STREQ(output.text, L"untouched");
    }
}

// Folder names chosen so that the file's full path has exactly the given length.
TEST_F(FindLanguageFileTest, PathLongerThan259CharactersCountsAsMissing)
{
    const auto folderFor = [this](size_t pathLength, wchar_t letter) {
        return std::wstring(pathLength - TextFileIn(L"").size(), letter);
    };
    const std::wstring fits = folderFor(kPathChars - 1, L'a');
    const std::wstring tooLong = folderFor(kPathChars, L'b');
    const std::wstring beyondTheFolderBuffer(2 * kPathChars, L'd');
    AddTextFile(fits);
    AddTextFile(tooLong);
    AddTextFile(L"English");
    if (GetFileAttributesW(LongPath(TextFileIn(tooLong)).c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "files beyond MAX_PATH cannot be made here";

    WriteLanguageIni(L"Default=English\n0x0407=" + fits + L"\n0x0411=" + tooLong +
                     L"\n0x0c07=" + beyondTheFolderBuffer + L"\n");
    const struct {
        LANGID language;
        std::wstring expected;
    } cases[] = {
        {0x0407, TextFileIn(fits)},
        {0x0411, TextFileIn(L"English")},
        {0x0c07, TextFileIn(L"English")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "language " << c.language);
        GuardedPath output;
        EXPECT_EQ(Find(c.language, output), 1);
        EXPECT_EQ(output.text, c.expected);
        EXPECT_TRUE(output.GuardIntact());
    }
}

TEST(FindLanguageFile, TooLongDefaultPathLeavesTheOutputUntouched)
{
    TempFolder program;
    const std::wstring folder(kPathChars - program.Path().size() - 1, L'e');
    ASSERT_TRUE(program.CreateFolder(folder));
    ASSERT_TRUE(program.WriteTextFile(folder + L"\\TALOTXT.ini", L"[TALOGUI]\n"));
    ASSERT_TRUE(program.WriteTextFile(L"Language.ini", L"[Folder]\nDefault=" + folder + L"\n"));
    GuardedPath output;
    EXPECT_EQ(CLocalPath::FindLanguageFileIn(program.Path().c_str(), 0x0409, output.text, kTextFile), 0);
    EXPECT_STREQ(output.text, L"untouched");
    EXPECT_TRUE(output.GuardIntact());

    const std::wstring longProgramFolder = std::wstring(kPathChars - 8, L'f') + L"\\";
    EXPECT_EQ(CLocalPath::FindLanguageFileIn(longProgramFolder.c_str(), 0x0409, output.text,
                                             kTextFile), 0);
    EXPECT_STREQ(output.text, L"untouched");
}

} // namespace
