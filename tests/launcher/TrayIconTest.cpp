#include "launcher/ForegroundWindow.h"
#include "launcher/LauncherResources.h"
#include "launcher/TrayIcon.h"

#include "tests/launcher/WineTray.h"

#include <gtest/gtest.h>

#include <string>

// The icon goes to Wine's real notification area; the test's own window owns it.

namespace {

constexpr UINT kIconId = 5;

HICON SmallIcon()
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON, 16,
                                         16, LR_DEFAULTCOLOR));
}

TEST(TrayIcon, AddsOneIconThatRelaysMouseMessagesAndRemovesIt)
{
    TrayListener listener;
    ASSERT_NE(listener.Window(), nullptr);
    TrayIcon icon;
    ASSERT_EQ(icon.Add(listener.Window(), TrayListener::kCallbackMessage, kIconId, SmallIcon(), L"Airvane"), 1);
    EXPECT_TRUE(icon.IsAdded());
    EXPECT_GE(listener.SlotOf(kIconId), 0) << "the tray relays a mouse move on the icon";

    SetLastError(0xdeadbeef);
    EXPECT_EQ(icon.Add(listener.Window(), TrayListener::kCallbackMessage, kIconId, SmallIcon(), L"Airvane"), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));

    EXPECT_EQ(icon.Remove(), 1);
    EXPECT_FALSE(icon.IsAdded());
    EXPECT_EQ(listener.SlotOf(kIconId), -1);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(icon.Remove(), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_READY));
}

TEST(TrayIcon, DestructionRemovesTheIcon)
{
    TrayListener listener;
    {
        TrayIcon icon;
        ASSERT_EQ(icon.Add(listener.Window(), TrayListener::kCallbackMessage, kIconId, SmallIcon(), nullptr), 1);
        EXPECT_GE(listener.SlotOf(kIconId), 0);
    }
    EXPECT_EQ(listener.SlotOf(kIconId), -1);
}

TEST(TrayIcon, PassesTheFirstVersionOfTheStructureWithTheTipCut)
{
    TrayListener listener;
    const std::wstring longTip(300, L't');
    const struct {
        const wchar_t* tip;
        size_t expectedLength;
    } cases[] = {{nullptr, 0}, {L"Airvane", 7}, {longTip.c_str(), 127}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expectedLength);
        TrayIcon icon;
        ASSERT_EQ(icon.Add(listener.Window(), TrayListener::kCallbackMessage, kIconId, SmallIcon(), c.tip), 1);
        const NOTIFYICONDATAW& data = icon.Data();
        EXPECT_EQ(data.cbSize, DWORD(NOTIFYICONDATAW_V1_SIZE));
        EXPECT_EQ(data.hWnd, listener.Window());
        EXPECT_EQ(data.uID, kIconId);
        EXPECT_EQ(data.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(data.uCallbackMessage, TrayListener::kCallbackMessage);
        EXPECT_EQ(std::wstring(data.szTip).size(), c.expectedLength);
        EXPECT_EQ(icon.Remove(), 1);
    }
}

TEST(ForceForegroundWindow, RefusesNoWindowAndBringsAWindowToTheFront)
{
    EXPECT_EQ(ForceForegroundWindow(nullptr), 0);
    const HWND gone = CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(ForceForegroundWindow(gone), 0);

    const HWND first = CreateWindowExW(0, L"STATIC", L"first", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                       nullptr, nullptr);
    const HWND second = CreateWindowExW(0, L"STATIC", L"second", WS_POPUP | WS_VISIBLE, 60, 0, 50, 50, nullptr,
                                        nullptr, nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(ForceForegroundWindow(first), 0);
    EXPECT_EQ(GetForegroundWindow(), first);
    EXPECT_EQ(ForceForegroundWindow(first), 1) << "already in front";
    EXPECT_NE(ForceForegroundWindow(second), 0);
    EXPECT_EQ(GetForegroundWindow(), second);
    DestroyWindow(first);
    DestroyWindow(second);
}

} // namespace
