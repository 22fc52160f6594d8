#include "service/wnp/DevicePolicyCache.h"

#include "devices/DeviceControl.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "service/wnp/DevicePolicyLoader.h"

bool CDevicePolicyCache::Permits(const std::wstring& folder, const TALO_REQUEST& request)
{
    Refresh(folder);
    if (IsPermittedDeviceRequest(request, named_))
        return true;
    // A record is a short prefix of every adapter it begins unless it is an
    // installed adapter's whole first hardware ID, which it may stop being.
    return IsPermittedDeviceRequest(request, registered_) &&
           IsFirstHwIdOfClass(request.Body.Device.HwIdPrefix, kNetworkCardClass);
}

// Stamps are taken before the reads: a change during a read shows next time.
void CDevicePolicyCache::Refresh(const std::wstring& folder)
{
    const std::wstring languageIni = folder + kLanguageIniFile;
    bool filesCurrent = filesLoaded_ && folder == folder_ && Same(StampOf(languageIni), languageStamp_);
    for (size_t i = 0; filesCurrent && i < textFiles_.size(); ++i)
        filesCurrent = Same(StampOf(textFiles_[i]), textStamps_[i]);
    const KeyStamp listStamp = StampOfDeviceList();
    if (filesCurrent && listLoaded_ && Same(listStamp, listStamp_))
        return;
    if (!filesCurrent) {
        languageStamp_ = StampOf(languageIni);
        textFiles_ = InstalledTextFiles(folder);
        textStamps_.clear();
        for (const std::wstring& file : textFiles_)
            textStamps_.push_back(StampOf(file));
        named_ = CDevicePolicy();
        LoadNamedDevices(textFiles_, named_);
        folder_ = folder;
    }
    registered_ = CDevicePolicy();
    LoadRegisteredDevices(registered_);
    listStamp_ = listStamp;
    filesLoaded_ = true;
    listLoaded_ = true;
}

CDevicePolicyCache::FileStamp CDevicePolicyCache::StampOf(const std::wstring& file)
{
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) {
        stamp.present = true;
        stamp.lastWrite = data.ftLastWriteTime;
        stamp.size.LowPart = data.nFileSizeLow;
        stamp.size.HighPart = data.nFileSizeHigh;
    }
    return stamp;
}

CDevicePolicyCache::KeyStamp CDevicePolicyCache::StampOfDeviceList()
{
    KeyStamp stamp;
    RegKey key;
    stamp.present = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDeviceListKey, 0, KEY_READ, key.Put()) == ERROR_SUCCESS &&
                    RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &stamp.values,
                                     &stamp.longestName, &stamp.longestData, nullptr,
                                     &stamp.lastWrite) == ERROR_SUCCESS;
    return stamp;
}

bool CDevicePolicyCache::Same(const FileStamp& a, const FileStamp& b)
{
    return a.present == b.present && CompareFileTime(&a.lastWrite, &b.lastWrite) == 0 &&
           a.size.QuadPart == b.size.QuadPart;
}

bool CDevicePolicyCache::Same(const KeyStamp& a, const KeyStamp& b)
{
    return a.present == b.present && CompareFileTime(&a.lastWrite, &b.lastWrite) == 0 && a.values == b.values &&
           a.longestName == b.longestName && a.longestData == b.longestData;
}
