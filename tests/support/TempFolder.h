#pragma once

#include <string>

// A fresh folder under the temporary folder, removed with its contents at the
// end. Paths given to it are relative to it; they may exceed MAX_PATH.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Full path, ending in a backslash.
    const std::wstring& Path() const { return path_; }

    bool CreateFolder(const std::wstring& relative) const;

    // Writes text as our INI files are stored: UTF-16LE with a byte-order
    // mark, each "\n" written as CR LF.
    bool WriteTextFile(const std::wstring& relative, const std::wstring& text) const;

private:
    std::wstring path_;
};

// The path with the prefix that lifts the MAX_PATH limit of the file functions.
std::wstring LongPath(const std::wstring& path);
