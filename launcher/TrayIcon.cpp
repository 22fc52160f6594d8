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

int TrayIcon::ShowNotice(const wchar_t* title, const wchar_t* text, bool warning)
{
    if (!added_) {
        SetLastError(ERROR_NOT_READY);
        return 0;
    }
    // The balloon's fields lie beyond the first version of the structure.
    NOTIFYICONDATAW notice = {};
    notice.cbSize = sizeof(notice);
    notice.hWnd = data_.hWnd;
    notice.uID = data_.uID;
    notice.uFlags = NIF_INFO;
    notice.dwInfoFlags = (warning ? NIIF_WARNING : NIIF_INFO) | NIIF_RESPECT_QUIET_TIME;
    lstrcpynW(notice.szInfoTitle, title ? title : L"", ARRAYSIZE(notice.szInfoTitle));
    lstrcpynW(notice.szInfo, text ? text : L"", ARRAYSIZE(notice.szInfo));
    return Shell_NotifyIconW(NIM_MODIFY, &notice) ? 1 : 0;
}
