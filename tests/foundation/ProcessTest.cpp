#include "foundation/ModuleFolder.h"
#include "foundation/ProcessStart.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ModuleFolder, IsTheProgramPathUpToItsLastBackslash)
{
    const std::wstring program = ModulePath(nullptr);
    const std::wstring folder = ModuleFolder(nullptr);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_EQ(program.rfind(folder, 0), 0u);
    EXPECT_EQ(program.substr(folder.size()).find(L'\\'), std::wstring::npos);
    EXPECT_EQ(GetFileAttributesW(program.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(ModuleFolder, OfAModuleThatIsNotLoadedIsEmpty)
{
    // The address of a local: no module starts there.
    int local = 0;
    const HMODULE notLoaded = reinterpret_cast<HMODULE>(&local);
    EXPECT_EQ(ModulePath(notLoaded), L"");
    EXPECT_EQ(ModuleFolder(notLoaded), L"");
}

TEST(QuotedCommandLine, QuotesThePathAndAppendsTheArguments)
{
    const struct {
        const wchar_t* program;
        const wchar_t* arguments;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Program Files\\Air vane\\TALOSetting.exe", L"", L"\"C:\\Program Files\\Air vane\\TALOSetting.exe\""},
        {L"C:\\Program Files\\Air vane\\TALOSetting.exe", L" /p2",
         L"\"C:\\Program Files\\Air vane\\TALOSetting.exe\" /p2"},
        {L"C:\\Airvane\\TALOLauncher.exe", L" /e", L"\"C:\\Airvane\\TALOLauncher.exe\" /e"},
        {L"C:\\Airvane\\TALOLauncher.exe", nullptr, L"\"C:\\Airvane\\TALOLauncher.exe\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(QuotedCommandLine(c.program, c.arguments), c.expected);
    }
}

TEST(StartDetachedProgram, AProgramThatIsNotThereIsNotStarted)
{
    const std::wstring folder = ModuleFolder(nullptr);
    const std::wstring missing = folder + L"No such program.exe";
    EXPECT_FALSE(StartDetachedProgram(missing.c_str(), L"", folder.c_str()));
}

} // namespace
