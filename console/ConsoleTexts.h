#pragma once

#include "foundation/CTextMgr.h"

#include <initializer_list>
#include <memory>
#include <string>

// The console program's messages, from the section "TALOCON" of the
// "TALOTXT.ini" that FindLanguageFile finds for the system's language.
class ConsoleTexts {
public:
    ConsoleTexts();

    // The text of key, filled with values by FillText.
    std::wstring Get(const wchar_t* key, std::initializer_list<std::wstring> values = {}) const;

    // The usage lines: "USAGE0", "USAGE1", ... up to the first missing one.
    std::wstring Usage() const;

private:
    std::unique_ptr<CTextMgr> texts_;
};
