// The administrative templates (installer/policy/, copied beside the packages) against
// the policy the programs read, both ways: every value the programs read under the
// policy key is a policy of the template, and every value the template sets is read;
// every text the template names is in each language's resources, and no other.
#include "automation/BuildPrograms.h"
#include "catalog/PolicySettings.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace {

std::string ReadFileText(const std::wstring& path)
{
    const KernelHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

std::wstring TemplateFolder()
{
    return BuildFolder() + L"installer\\policy\\";
}

// The first capture of every match of the pattern in the text.
std::set<std::string> Captures(const std::string& text, const char* pattern)
{
    std::set<std::string> found;
    const std::regex expression(pattern);
    for (auto match = std::sregex_iterator(text.begin(), text.end(), expression); match != std::sregex_iterator();
         ++match)
        found.insert((*match)[1].str());
    return found;
}

std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (; *text; ++text)
        narrow += static_cast<char>(*text); // ASCII names
    return narrow;
}

TEST(PolicyTemplate, OffersEveryValueTheProgramsReadAndNoOther)
{
    const std::string admx = ReadFileText(TemplateFolder() + L"Airvane.admx");
    ASSERT_FALSE(admx.empty());
    std::set<std::string> read;
    for (const wchar_t* name : kPolicyValueNames)
        read.insert(Narrow(name));
    EXPECT_EQ(Captures(admx, "valueName=\"([^\"]*)\""), read);

    // Each policy writes under a key the programs read, for the machine and the user,
    // and each such key has a policy.
    std::set<std::string> keys;
    for (const wchar_t* key : kPolicyKeys)
        keys.insert("Software" + Narrow(key).substr(8));
    EXPECT_EQ(Captures(admx, "key=\"([^\"]*)\""), keys);
    EXPECT_EQ(Captures(admx, "class=\"([^\"]*)\""), std::set<std::string>{"Both"});
    // Enabled writes 1 and disabled 0, the values the programs give a meaning.
    EXPECT_EQ(Captures(admx, "<enabledValue><decimal value=\"([0-9]+)\""), std::set<std::string>{"1"});
    EXPECT_EQ(Captures(admx, "<disabledValue><decimal value=\"([0-9]+)\""), std::set<std::string>{"0"});
}

TEST(PolicyTemplate, EveryLanguageNamesEveryTextTheTemplateUses)
{
    const std::set<std::string> used =
        Captures(ReadFileText(TemplateFolder() + L"Airvane.admx"), "\\$\\(string\\.([A-Za-z0-9_]+)\\)");
    ASSERT_FALSE(used.empty());
    for (const wchar_t* language : {L"en-US", L"de-DE", L"ja-JP"}) {
        SCOPED_TRACE(Narrow(language));
        const std::string adml = ReadFileText(TemplateFolder() + language + L"\\Airvane.adml");
        ASSERT_FALSE(adml.empty());
        EXPECT_EQ(Captures(adml, "<string id=\"([A-Za-z0-9_]+)\">"), used);
    }
}

} // namespace
