#pragma once

#include <windows.h>

class CDeviceCatalog;
class CTextMgr;

// Exit codes of "STATUS=<type>".
constexpr int kStatusDisabled = 0;
constexpr int kStatusEnabled = 1;
constexpr int kStatusNotPresented = 4;

// The settings program's command line beyond "/e" and "/p": "[/Q] STATUS=<type>"
// reports whether the devices of a type are on; "[/Q] <type>=ON|OFF ..." switches
// the devices of each type. argumentText is the command line after the program's
// path. The catalog is refilled with the devices of one type at a time. Shows
// its fixed English messages unless the text contains "/Q" in any letter case,
// and then at the end one box of texts (the text manager on "TALOTXT.ini",
// section "TALOGUI"; null: empty texts) naming the devices that need a restart.
// Returns the exit code: the status for STATUS, else 0.
int RunCommandLineMode(CDeviceCatalog& catalog, const wchar_t* argumentText, const CTextMgr* texts = nullptr);

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
