#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "service/ipc/TaloRequest.h"
#include "settings/SettingsResources.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <process.h>

#include <atomic>
#include <cstring>

// The floor of applying a preset with /p: a program with the settings program's
// resources and system libraries that shows the same notice (dialog 107) on a
// thread of its own and, meanwhile, sends the running service one device
// request per hardware ID with the protocol's bare steps: write the block, signal,
// wait, read. Nothing else: no catalog, no texts, no presets, no transaction
// lock. Exit code 0 when every request was answered with success.
//   BenchNoticeRequests.exe on|off <class> <hardware ID>...

namespace {

constexpr DWORD kAnswerWaitMs = 30000;
constexpr wchar_t kNoticeTitle[] = L"Airvane - Switching Devices";
constexpr wchar_t kNoticeMessage[] = L"Airvane is switching your devices. This takes a few seconds.";

std::atomic<HWND> notice{nullptr};
HANDLE noticeShown = nullptr; // set once the notice's creation is over

INT_PTR CALLBACK NoticeProc(HWND dialog, UINT message, WPARAM, LPARAM) noexcept
{
    if (message == WM_INITDIALOG) {
        SetWindowTextW(dialog, kNoticeTitle);
        SetDlgItemTextW(dialog, IDC_PROGRESS_MESSAGE, kNoticeMessage);
        notice.store(dialog);
    }
    return FALSE;
}

unsigned __stdcall NoticeThread(void*)
{
    const HWND dialog =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), nullptr, NoticeProc, 0);
    SetEvent(noticeShown);
    MSG message;
    while (dialog && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_CLOSE && message.hwnd == dialog) {
            DestroyWindow(dialog);
            break;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

bool CopyBlock(TALO_REQUEST& block, bool write)
{
    const DWORD access = write ? FILE_MAP_ALL_ACCESS : FILE_MAP_READ;
    const KernelHandle mapping(OpenFileMappingW(access, FALSE, kRequestBlockName));
    const MappedView view(mapping ? MapViewOfFile(mapping.Get(), access, 0, 0, 0) : nullptr);
    if (!view)
        return false;
    if (write)
        std::memcpy(view.Get(), &block, sizeof(block));
    else
        std::memcpy(&block, view.Get(), sizeof(block));
    return true;
}

bool Exchange(HANDLE request, HANDLE completion, TALO_REQUEST& block)
{
    ResetEvent(completion);
    if (!CopyBlock(block, true) || !SetEvent(request) ||
        WaitForSingleObject(completion, kAnswerWaitMs) != WAIT_OBJECT_0)
        return false;
    ResetEvent(completion);
    return CopyBlock(block, false);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    // Never true: the calls only bind the settings program's other libraries.
    if (show == -1) {
        RegCloseKey(nullptr);
        GetStockObject(NULL_BRUSH);
        Shell_NotifyIconW(NIM_DELETE, nullptr);
        CoTaskMemFree(nullptr);
    }
    int count = 0;
    const LocalMemory argumentBlock(CommandLineToArgvW(GetCommandLineW(), &count));
    wchar_t** arguments = static_cast<wchar_t**>(argumentBlock.Get());
    if (!arguments || count < 4)
        return 2;
    const bool on = lstrcmpW(arguments[1], L"on") == 0;

    const KernelHandle shown(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    noticeShown = shown.Get();
    const KernelHandle thread(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, NoticeThread, nullptr, 0, nullptr)));
    const KernelHandle request(OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, kRequestEvent));
    const KernelHandle completion(OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, kCompletionEvent));
    int failed = request && completion ? 0 : 1;
    for (int i = 3; i < count && !failed; ++i) {
        TALO_REQUEST block = {};
        block.Code = on ? REQ_ENABLE_DEVICE : REQ_DISABLE_DEVICE;
        lstrcpynW(block.Body.Device.ClassName, arguments[2], kRequestClassNameChars);
        lstrcpynW(block.Body.Device.HwIdPrefix, arguments[i], kRequestHwIdPrefixChars);
        block.Result = -1;
        if (!Exchange(request.Get(), completion.Get(), block) || block.Result != 0)
            failed = 1;
    }
    // The notice goes once the work is done, as the settings program's does.
    WaitForSingleObject(noticeShown, kAnswerWaitMs);
    if (const HWND dialog = notice.load())
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    if (thread)
        WaitForSingleObject(thread.Get(), kAnswerWaitMs);
    return failed;
}
