#include "automation/GuiWindows.h"

#include <functional>
#include <vector>

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kAnswerMs = 1000;
// The message box's text control: a static with the dialog id -1 of a 16-bit template.
constexpr int kMessageBoxTextId = 0xFFFF;

bool HasClass(HWND window, const wchar_t* className)
{
    wchar_t actual[256] = {};
    return GetClassNameW(window, actual, ARRAYSIZE(actual)) > 0 && lstrcmpiW(actual, className) == 0;
}

DWORD ProcessOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

bool Matches(HWND window, const WindowQuery& query)
{
    if (query.visibleOnly && !IsWindowVisible(window))
        return false;
    if (query.processId != 0 && ProcessOf(window) != query.processId)
        return false;
    if (query.className && !HasClass(window, query.className))
        return false;
    return !query.title || WindowText(window) == query.title;
}

// The first top-level window for which match holds, or null.
HWND FindWindowWhere(const std::function<bool(HWND)>& match)
{
    struct Search {
        const std::function<bool(HWND)>* match;
        HWND found;
    } search{&match, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* search = reinterpret_cast<Search*>(param);
            if (!(*search->match)(window))
                return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls find until it gives a window or timeoutMs has passed.
template <typename Find>
HWND WaitFor(Find find, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND window = find())
            return window;
        if (GetTickCount64() >= deadline)
            return nullptr;
        PumpMessagesFor(kPollMs);
    }
}

bool IsMessageBox(HWND window)
{
    const HWND text = GetDlgItem(window, kMessageBoxTextId);
    return text && HasClass(text, L"Static") && (GetWindowLongW(text, GWL_STYLE) & SS_TYPEMASK) != SS_ICON;
}

} // namespace

HWND FindTopLevelWindow(const WindowQuery& query)
{
    return FindWindowWhere([&](HWND window) { return Matches(window, query); });
}

HWND WaitForTopLevelWindow(const WindowQuery& query, DWORD timeoutMs)
{
    return WaitFor([&] { return FindTopLevelWindow(query); }, timeoutMs);
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() >= deadline)
            return false;
        PumpMessagesFor(kPollMs);
    }
    return true;
}

std::wstring WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!window || !SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length))
        return std::wstring();
    std::vector<wchar_t> text(length + 1);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kAnswerMs, &copied)) {
        return std::wstring();
    }
    return std::wstring(text.data(), copied < text.size() ? copied : text.size() - 1);
}

std::wstring DialogItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

bool PressButton(HWND dialog, int id)
{
    const HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button))
        return false;
    return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != FALSE;
}

HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs)
{
    WindowQuery query;
    query.processId = processId;
    query.className = L"#32770";
    return WaitFor([&] { return FindWindowWhere([&](HWND w) { return Matches(w, query) && IsMessageBox(w); }); },
                   timeoutMs);
}

std::wstring MessageBoxText(HWND box)
{
    return DialogItemText(box, kMessageBoxTextId);
}

void PumpMessagesFor(DWORD milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}
