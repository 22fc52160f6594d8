#include "settings/ProgressWindow.h"

#include "catalog/DeviceMessage.h"
#include "foundation/CTextMgr.h"
#include "foundation/CcException.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "settings/SettingsResources.h"

#include <atomic>
#include <memory>
#include <new>
#include <process.h>

UINT SwitchDoneMsg = 0;

namespace {

constexpr wchar_t kTitleKey[] = L"MESSAGE_PROGRESS_TITLE";
constexpr wchar_t kMessageKey[] = L"MESSAGE_PROGRESS_MESSAGE";
constexpr wchar_t kEnableErrorKey[] = L"ERROR_ENABLE";
constexpr wchar_t kDisableErrorKey[] = L"ERROR_DISABLE";
constexpr int kCaptionChars = 128;
constexpr int kWarningChars = 512;

// The notice's texts, read on the thread that starts it and handed to the
// progress thread, which never touches the text manager.
struct ProgressTexts {
    wchar_t title[128];
    wchar_t message[512];
};

// Written by the progress thread as the notice is created, read by CloseProgress.
std::atomic<HWND> progressWindow{nullptr};

// How long CloseProgress waits for a notice still being created.
constexpr DWORD kCreationWait = 5000;

// Set while no notice is being created. CloseProgress waits for it, so that
// its message reaches a notice that is just appearing, and the process never
// ends while the progress thread is inside the creation of its dialog.
HANDLE NoticeSettled()
{
    static const KernelHandle settled(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    return settled.Get();
}

INT_PTR CALLBACK ProgressDlgProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) noexcept
{
    if (message == WM_INITDIALOG) {
        const auto* texts = reinterpret_cast<const ProgressTexts*>(lParam);
        SetWindowTextW(dialog, texts->title);
        SetDlgItemTextW(dialog, IDC_PROGRESS_MESSAGE, texts->message);
        // Published before the notice is shown, so that a CloseProgress from
        // now on reaches it: its message waits in the queue until the loop runs.
        progressWindow.store(dialog);
    } else if (message == SwitchDoneMsg && SwitchDoneMsg != 0) {
        DestroyWindow(dialog);
    }
    return FALSE;
}

// Destroying the notice does not end the loop: the thread lasts until the
// process ends, which follows right after a preset is applied.
void __cdecl ProgressThread(void* argument)
{
    std::unique_ptr<ProgressTexts> texts(static_cast<ProgressTexts*>(argument));
    const HWND notice = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), nullptr,
                                           ProgressDlgProc, reinterpret_cast<LPARAM>(texts.get()));
    texts.reset();
    SetEvent(NoticeSettled());
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(notice) && IsDialogMessageW(notice, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Waits, up to its limit, until no notice is being created: the notice and a
// warning box are never created by the two threads at once. Wine's window
// manager can deadlock on that (the box stays hidden for ever, its thread
// blocked), and a box is a window of the same program as the notice anyway.
void AwaitNoticeSettled()
{
    WaitForSingleObject(NoticeSettled(), kCreationWait);
}

} // namespace

UINT RegisterSwitchDoneMsg()
{
    SwitchDoneMsg = RegisterWindowMessageW(kSwitchDoneMessage);
    return SwitchDoneMsg;
}

void StartProgress(const CTextMgr* source)
{
    std::unique_ptr<ProgressTexts> texts(CheckAllocation(new (std::nothrow) ProgressTexts()));
    // CopyText leaves the manager's value buffer alone: a text the caller holds
    // from GetText stays valid.
    if (source) {
        source->CopyText(kTitleKey, texts->title, ARRAYSIZE(texts->title));
        source->CopyText(kMessageKey, texts->message, ARRAYSIZE(texts->message));
    }
    const HANDLE settled = NoticeSettled();
    ResetEvent(settled);
    if (_beginthread(ProgressThread, 0, texts.get()) != static_cast<uintptr_t>(-1))
        texts.release();
    else
        SetEvent(settled);
}

void CloseProgress()
{
    AwaitNoticeSettled();
    const HWND notice = progressWindow.load();
    if (SwitchDoneMsg != 0 && notice && IsWindow(notice))
        PostMessageW(notice, SwitchDoneMsg, 0, 0);
}

void CPresetProgress::DeviceDone(const wchar_t* deviceName, bool on, DeviceOutcome outcome)
{
    if (outcome == DeviceOutcome::Failed)
        DeviceFailed(deviceName, on);
    else if (outcome == DeviceOutcome::RestartNeeded)
        restart_.Add(deviceName);
}

void CPresetProgress::Finished()
{
    CloseProgress();
    restart_.Show(owner_, texts_);
}

// The copies leave the text manager's value buffer as it was.
void CPresetProgress::DeviceFailed(const wchar_t* deviceName, bool on)
{
    wchar_t caption[kCaptionChars] = L"";
    wchar_t format[kWarningChars] = L"";
    if (texts_) {
        texts_->CopyText(kSettingsWindowTitleKey, caption, kCaptionChars);
        texts_->CopyText(on ? kEnableErrorKey : kDisableErrorKey, format, kWarningChars);
    }
    const CcString text = FormatDeviceMessage(format, deviceName);
    AwaitNoticeSettled();
    MessageBoxW(owner_, text, caption, MB_ICONWARNING | MB_OK);
}
