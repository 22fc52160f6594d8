#pragma once

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>

// Reads the texts of one INI file by section and key. A value may hold line
// breaks written as the four characters \r\n; they are read as CR LF.
class CTextMgr {
public:
    static constexpr int kPathChars = MAX_PATH;

    // capacity: size of the value buffer in characters (at least 1); longer
    // values are cut to capacity - 1. An empty or too long file path reads
    // every key as missing. Raises CcExceptionMemory when allocation fails.
    CTextMgr(const wchar_t* filePath, const wchar_t* section, int capacity);
    virtual ~CTextMgr();

    CTextMgr(const CTextMgr&) = delete;
    CTextMgr& operator=(const CTextMgr&) = delete;

    // The section of the following reads, until the next SetSection.
    void SetSection(const wchar_t* section);

    // The value of key in the current section, or defaultText (null: empty)
    // when the file, section or key is missing. Points into the manager's one
    // value buffer, which the next GetText overwrites.
    const wchar_t* GetText(const wchar_t* key, const wchar_t* defaultText = nullptr);

    // The text GetText would return, copied into buffer and cut to capacity - 1
    // characters; returns buffer. It leaves the value buffer alone, so a second
    // thread may read with CopyText while another calls GetText, as long as
    // nobody changes the section meanwhile.
    const wchar_t* CopyText(const wchar_t* key, wchar_t* buffer, int capacity,
                            const wchar_t* defaultText = nullptr) const;

private:
    // Reads key into value (capacity_ characters) and expands its line breaks.
    void ReadValue(const wchar_t* key, const wchar_t* defaultText, wchar_t* value) const;

    wchar_t filePath_[kPathChars];
    wchar_t section_[kPathChars];
    std::unique_ptr<wchar_t[]> value_;
    int capacity_;
};

// text with each "%s" replaced by the next value in turn; a "%s" without a value
// stays. Nothing else in the text is read as a format, so a translation cannot
// make a program read arguments it was not given.
std::wstring FillText(const std::wstring& text, std::initializer_list<std::wstring> values);
