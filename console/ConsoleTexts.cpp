#include "console/ConsoleTexts.h"

#include "foundation/CLocalPath.h"
#include "foundation/Names.h"

#include <string>

namespace {

constexpr int kTextValueChars = 512;
constexpr int kMostUsageLines = 100;

} // namespace

ConsoleTexts::ConsoleTexts()
{
    wchar_t path[CLocalPath::kPathChars] = L"";
    CLocalPath::FindLanguageFile(path, kTextFile); // none found: every text reads empty
    texts_ = std::make_unique<CTextMgr>(path, kConsoleSection, kTextValueChars);
}

std::wstring ConsoleTexts::Get(const wchar_t* key, std::initializer_list<std::wstring> values) const
{
    return FillText(texts_->GetText(key), values);
}

std::wstring ConsoleTexts::Usage() const
{
    std::wstring usage;
    for (int i = 0; i < kMostUsageLines; ++i) {
        const std::wstring key = L"USAGE" + std::to_wstring(i);
        const std::wstring line = texts_->GetText(key.c_str());
        if (line.empty())
            break;
        // A line of a single dot stands for an empty line, which would end the usage.
        usage += (line == L"." ? std::wstring() : line) + L"\r\n";
    }
    return usage;
}
