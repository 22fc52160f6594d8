#pragma once

#include <windows.h>
#include <shellapi.h>

// One icon in the notification area. The structure is passed with the size of
// its first version, which every shell since the first takes: the tooltip is
// then shown with at most 63 characters.
class TrayIcon {
public:
    static constexpr int kTipChars = 128;

    TrayIcon() = default;
    virtual ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon; tip (may be null) is cut to kTipChars - 1 characters.
    // 0 with ERROR_ALREADY_EXISTS when this icon is already added, 0 when the
    // shell refuses it (for instance before the taskbar exists).
    int Add(HWND window, UINT callbackMessage, UINT id, HICON icon, const wchar_t* tip);

    // Removes the icon; 0 with ERROR_NOT_READY when it is not added.
    int Remove();

    // Shows a balloon at the icon (title cut to 63, text to 255 characters), with
    // the information or the warning icon, unless the user's quiet time or
    // presentation mode holds notices back; 0 with ERROR_NOT_READY when the icon
    // is not added, 0 when the shell refuses.
    int ShowNotice(const wchar_t* title, const wchar_t* text, bool warning = false);

    bool IsAdded() const { return added_ != 0; }
    const NOTIFYICONDATAW& Data() const { return data_; }

private:
    int added_ = 0;
    NOTIFYICONDATAW data_ = {};
};

