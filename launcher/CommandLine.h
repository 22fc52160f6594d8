#pragma once

#include <windows.h>

// A table-driven command-line parser: switches are a '/' or '-' followed by one
// letter (blanks allowed in between), optionally with a value; other words are
// positional. Blanks are spaces and tabs; a value in double quotes may hold them.

enum : WORD {
    OPT_END = 0,        // ends the table
    OPT_SWITCH = 1,     // a switch letter, optionally with a value in buffer
    OPT_POSITIONAL = 2, // the next word that is not a switch
};

// One row of the option table; rows of other kinds are skipped.
struct OptionEntry {
    WORD kind;
    wchar_t letter;     // OPT_SWITCH: compared exactly (case-sensitive)
    int* flag;          // may be null; set to 1 when the switch occurs
    wchar_t* buffer;    // may be null; receives the switch's value or the word
    WORD bufferLength;  // characters in buffer, terminator included
};

enum : WORD {
    PARSE_OK = 0,
    PARSE_NO_LETTER = 1,      // a switch character ends the line
    PARSE_UNKNOWN_SWITCH = 2, // a letter no row has (unless ignoreUnknown)
    PARSE_TOO_LONG = 3,       // a value does not fit its buffer (or the 1000-character scratch buffer)
    PARSE_EXTRA_ARGUMENT = 4, // a word no positional row takes (unless ignoreUnknown)
};

// Clears every flag and buffer of the table, then reads line into it.
// lineHasProgramName: the first positional word is the program's path and is dropped.
// ignoreUnknown: unknown switches and extra words are dropped instead of failing.
// skipBlanksBeforeValue: blanks may stand between a switch letter and its value.
// On a code other than PARSE_OK, errorPosition (may be null) receives the start
// of the offending word; on PARSE_OK it receives null.
WORD ParseCommandLine(const wchar_t* line, int lineHasProgramName, OptionEntry* table,
                      const wchar_t** errorPosition, int ignoreUnknown, int skipBlanksBeforeValue);

// The launcher's command line: the program's path, then anything; the end
// switch (/e, -e, /E or -E, blanks allowed after the slash or hyphen) anywhere
// on it asks a running launcher to end. Everything else is ignored, but a line
// that cannot be read (a switch character at its very end, a word of 1000 or
// more characters) drops the end request. Returns 1 when the end is requested.
int ReadEndSwitch(const wchar_t* commandLine);
