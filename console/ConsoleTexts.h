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

    // The text of key, with each "%s" replaced by the next of values in turn.
    // Nothing else in the text is read as a format, so a translation cannot
    // make the program read arguments it was not given.
    std::wstring Get(const wchar_t* key, std::initializer_list<std::wstring> values = {}) const;

    // The usage lines: "USAGE0", "USAGE1", ... up to the first missing one.
    std::wstring Usage() const;

private:
    std::unique_ptr<CTextMgr> texts_;
};

// text with each "%s" replaced by the next value; a "%s" without a value stays.
std::wstring FillText(const std::wstring& text, std::initializer_list<std::wstring> values);
