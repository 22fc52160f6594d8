#pragma once

#include <windows.h>

// The words of the settings program's command line, in a copy of the argument
// text whose letters a-z are upper-cased. Words are read as strtok reads
// tokens: each read skips the separators in front, ends the word at the next
// separator and goes on behind that separator, so the separators of one read
// may differ from those of the next.
//
//   CCommandLineWords words(L"status=wlan /q");
//   words.Next(kWordSeparators);   // "STATUS"
//   words.Next(kValueSeparators);  // "WLAN"
//   words.Quiet();                 // true
class CCommandLineWords {
public:
    // The copy holds kTextChars - 1 characters; longer text is cut there.
    static constexpr int kTextChars = MAX_PATH;

    explicit CCommandLineWords(const wchar_t* argumentText);
    virtual ~CCommandLineWords() = default;
    CCommandLineWords(const CCommandLineWords&) = delete;
    CCommandLineWords& operator=(const CCommandLineWords&) = delete;

    // The next word, or the empty text when none is left.
    const wchar_t* Next(const wchar_t* separators);

    // Whether the copy contains "/Q" anywhere.
    bool Quiet() const { return quiet_; }

private:
    wchar_t text_[kTextChars];
    wchar_t* next_;
    bool quiet_;
};

// Separators of a word (blank, slash, equal sign) and of the value behind a
// word (blank, equal sign): "WLAN=ON/Q" has the value "ON/Q".
constexpr wchar_t kWordSeparators[] = L" /=";
constexpr wchar_t kValueSeparators[] = L" =";
