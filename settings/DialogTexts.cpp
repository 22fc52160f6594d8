#include "settings/DialogTexts.h"

#include "foundation/CTextMgr.h"
#include "settings/SettingsProcess.h"

void CopyDialogText(const wchar_t* key, wchar_t* buffer, int capacity)
{
    if (capacity <= 0)
        return;
    buffer[0] = L'\0';
    if (g_textMgr)
        g_textMgr->CopyText(key, buffer, capacity);
}

void SetItemTextByKey(HWND dialog, const wchar_t* key, int id)
{
    wchar_t text[kDialogTextChars];
    CopyDialogText(key, text, kDialogTextChars);
    SetDlgItemTextW(dialog, id, text);
}

void SetCaptionByKey(HWND dialog, const wchar_t* key)
{
    wchar_t caption[kCaptionChars];
    CopyDialogText(key, caption, kCaptionChars);
    SetWindowTextW(dialog, caption);
}

int ShowTextMessage(HWND owner, const wchar_t* textKey, const wchar_t* caption, UINT type)
{
    wchar_t text[kDialogTextChars];
    CopyDialogText(textKey, text, kDialogTextChars);
    return MessageBoxW(owner, text, caption, type);
}
