#include "launcher/TrayIcon.h"

TrayIcon::~TrayIcon()
{
    if (added_)
        Remove();
}

int TrayIcon::Add(HWND window, UINT callbackMessage, UINT id, HICON icon, const wchar_t* tip)
{
    if (added_) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return 0;
    }
    data_ = {};
    data_.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data_.hWnd = window;
    data_.uID = id;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = icon;
    static_assert(sizeof(data_.szTip) / sizeof(data_.szTip[0]) == kTipChars, "the tooltip field");
    lstrcpynW(data_.szTip, tip ? tip : L"", kTipChars);
    if (!Shell_NotifyIconW(NIM_ADD, &data_))
        return 0;
    added_ = 1;
    return 1;
}

int TrayIcon::Remove()
{
    if (!added_) {
        SetLastError(ERROR_NOT_READY);
        return 0;
    }
    Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = 0;
    return 1;
}

bool ShowTrayNotice(HWND window, const wchar_t* title, const wchar_t* text)
{
    // The balloon's fields come with the second version of the structure: the full size carries them.
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = 0;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING | NIIF_RESPECT_QUIET_TIME;
    lstrcpynW(data.szInfoTitle, title ? title : L"", ARRAYSIZE(data.szInfoTitle));
    lstrcpynW(data.szInfo, text ? text : L"", ARRAYSIZE(data.szInfo));
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}
