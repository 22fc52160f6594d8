#pragma once

#include "service/ipc/TaloRequest.h"
#include "service/wnp/RequestPolicy.h"

#include <string>
#include <vector>
#include <windows.h>

// The devices the service may switch, read again only when what they are read
// from has changed since: "Language.ini" and the text files it names (last-write
// time and size, or absence) and the device list key (last-write time and the
// count and sizes of its values). A newly installed text file or registered
// adapter thus counts from the next request. A registered adapter counts only
// as the whole first hardware ID of an installed network adapter, checked when
// a request names it. Not thread-safe: the service's worker alone uses it.
class CDevicePolicyCache {
public:
    virtual ~CDevicePolicyCache() = default;

    // REQ_ENABLE_DEVICE and REQ_DISABLE_DEVICE: a device the policy permits now.
    // The folder holds "Language.ini" and ends with a backslash.
    bool Permits(const std::wstring& folder, const TALO_REQUEST& request);

    // The service wrote the device list: the next request reads it again.
    void ForgetDeviceList() { listLoaded_ = false; }

private:
    struct FileStamp {
        bool present = false;
        FILETIME lastWrite = {};
        ULARGE_INTEGER size = {};
    };
    struct KeyStamp {
        bool present = false;
        FILETIME lastWrite = {};
        DWORD values = 0;
        DWORD longestName = 0;
        DWORD longestData = 0;
    };

    static FileStamp StampOf(const std::wstring& file);
    static KeyStamp StampOfDeviceList();
    static bool Same(const FileStamp& a, const FileStamp& b);
    static bool Same(const KeyStamp& a, const KeyStamp& b);
    void Refresh(const std::wstring& folder);

    bool filesLoaded_ = false;
    bool listLoaded_ = false;
    std::wstring folder_;
    FileStamp languageStamp_;
    std::vector<std::wstring> textFiles_;
    std::vector<FileStamp> textStamps_;
    KeyStamp listStamp_;
    CDevicePolicy named_;      // the text files' devices
    CDevicePolicy registered_; // the device list's records, not yet checked
};
