#include "foundation/CLocalPath.h"

#include "foundation/ModuleFolder.h"
#include "foundation/Names.h"

#include <initializer_list>
#include <string>
#include <strsafe.h>

namespace {

constexpr int kPathChars = CLocalPath::kPathChars;
constexpr wchar_t kDefaultKey[] = L"Default";

// Joins parts into a kPathChars buffer; false when the result does not fit.
bool ComposePath(wchar_t* path, std::initializer_list<const wchar_t*> parts)
{
    path[0] = L'\0';
    for (const wchar_t* part : parts) {
        if (FAILED(StringCchCatW(path, kPathChars, part)))
            return false;
    }
    return true;
}

// The program's drive and folder, provided its whole path fits a path buffer.
bool GetProgramFolder(wchar_t* folder)
{
    const std::wstring program = ModulePath(nullptr);
    if (program.empty() || program.size() >= size_t(kPathChars))
        return false;
    const size_t folderChars = program.find_last_of(L"\\/") + 1; // 0 without a separator
    return SUCCEEDED(StringCchCopyNW(folder, kPathChars, program.c_str(), folderChars));
}

bool IsFile(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file in the sub-folder that "Language.ini" names under key, if it exists.
bool FindInFolderOf(const wchar_t* key, const wchar_t* languageIni, const wchar_t* programFolder,
                    const wchar_t* fileName, wchar_t* candidate)
{
    wchar_t folder[kPathChars] = L"";
    GetPrivateProfileStringW(kLanguageFolderSection, key, L"", folder, kPathChars, languageIni);
    return folder[0] != L'\0' &&
           ComposePath(candidate, {programFolder, folder, L"\\", fileName}) && IsFile(candidate);
}

} // namespace

int CLocalPath::MakeLocalPath(wchar_t* output, const wchar_t* relative)
{
    if (!output)
        return 0;
    wchar_t folder[kPathChars];
    if (GetProgramFolder(folder) && ComposePath(output, {folder, relative ? relative : L""}))
        return 1;
    output[0] = L'\0';
    return 0;
}

int CLocalPath::FindLanguageFile(wchar_t* output, const wchar_t* fileName)
{
    wchar_t programFolder[kPathChars];
    if (!MakeLocalPath(programFolder, L""))
        return 0;
    return FindLanguageFileIn(programFolder, GetSystemDefaultLangID(), output, fileName);
}

int CLocalPath::FindLanguageFileIn(const wchar_t* programFolder, LANGID language,
                                   wchar_t* output, const wchar_t* fileName)
{
    if (!programFolder || !output || !fileName)
        return 0;
    wchar_t languageIni[kPathChars];
    if (!ComposePath(languageIni, {programFolder, kLanguageIniFile}))
        return 0;

    wchar_t languageKey[8];
    StringCchPrintfW(languageKey, ARRAYSIZE(languageKey), L"0x%04x", language);
    wchar_t candidate[kPathChars];
    if (!FindInFolderOf(languageKey, languageIni, programFolder, fileName, candidate) &&
        !FindInFolderOf(kDefaultKey, languageIni, programFolder, fileName, candidate))
        return 0;
    StringCchCopyW(output, kPathChars, candidate);
    return 1;
}
