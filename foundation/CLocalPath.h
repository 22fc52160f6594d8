#pragma once

#include <windows.h>

// Paths beside the running program. Every path buffer holds kPathChars
// characters including the terminator.
class CLocalPath {
public:
    static constexpr int kPathChars = MAX_PATH;

    virtual ~CLocalPath() = default;

    // output = the running program's drive and folder (with its trailing
    // backslash) followed by relative. Returns 1, or 0 with output set to the
    // empty text when the program path cannot be read or the result does not fit.
    static int MakeLocalPath(wchar_t* output, const wchar_t* relative);

    // Finds fileName in the sub-folder that "Language.ini" beside the program
    // names for the system default language, else in its "Default" sub-folder.
    // Returns 1 with the full path in output, or 0 with output untouched.
    static int FindLanguageFile(wchar_t* output, const wchar_t* fileName);

    // FindLanguageFile for a given program folder (ending in a backslash) and
    // language. A candidate path longer than kPathChars - 1 counts as missing.
    static int FindLanguageFileIn(const wchar_t* programFolder, LANGID language,
                                  wchar_t* output, const wchar_t* fileName);
};
