#include "tests/launcher/MenuProbe.h"

#include "foundation/Handle.h"

// MenuProbe.dll: loaded by the system into the hooked thread's process.

namespace {

// The visible popup menu window of the calling thread, if any.
HWND FindOwnPopupMenu()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            wchar_t className[16] = L"";
            GetClassNameW(window, className, ARRAYSIZE(className));
            if (lstrcmpW(className, L"#32768") != 0 || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void Describe(MenuProbeReport* report)
{
    report->count = -1;
    const HWND popup = FindOwnPopupMenu();
    const HMENU menu = popup ? reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) : nullptr;
    if (!menu)
        return;
    report->count = GetMenuItemCount(menu);
    report->defaultId = GetMenuDefaultItem(menu, FALSE, 0);
    for (int i = 0; i < report->count && i < kMenuProbeItems; ++i) {
        MenuProbeItem& item = report->items[i];
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = item.text;
        info.cch = kMenuProbeTextChars;
        if (GetMenuItemInfoW(menu, i, TRUE, &info)) {
            item.id = info.wID;
            item.type = info.fType;
            item.state = info.fState;
        }
    }
}

void Answer()
{
    const KernelHandle block(OpenFileMappingW(FILE_MAP_WRITE, FALSE, MenuProbeBlockName(GetCurrentProcessId()).c_str()));
    if (!block)
        return;
    const MappedView view(MapViewOfFile(block.Get(), FILE_MAP_WRITE, 0, 0, sizeof(MenuProbeReport)));
    if (!view)
        return;
    auto* report = static_cast<MenuProbeReport*>(view.Get());
    Describe(report);
    InterlockedExchange(&report->answered, 1);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT probeMessage = RegisterWindowMessageW(kMenuProbeMessage);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == probeMessage)
        Answer();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
