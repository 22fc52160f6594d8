#pragma once

#include <windows.h>

// The texts of the settings window and its dialogs, read by key from
// "TALOTXT.ini" (section "TALOGUI") through the program's text manager. They are
// read with CopyText, which leaves the manager's one value buffer alone, so the
// progress notice's thread may read its texts at the same time.

// Values longer than this are cut to it, terminator included.
constexpr int kDialogTextChars = 512;
// Captions, like every window title: 127 characters and the terminator.
constexpr int kCaptionChars = 128;

// Copies the key's text into buffer (empty when the key or the text manager is missing).
void CopyDialogText(const wchar_t* key, wchar_t* buffer, int capacity);

// Sets the text of control id of the dialog to the key's text.
void SetItemTextByKey(HWND dialog, const wchar_t* key, int id);

// Sets the dialog's caption to the key's text, cut to kCaptionChars - 1 characters.
void SetCaptionByKey(HWND dialog, const wchar_t* key);

// Shows the key's text in a message box as it stands: it is never used as a format.
int ShowTextMessage(HWND owner, const wchar_t* textKey, const wchar_t* caption, UINT type);
