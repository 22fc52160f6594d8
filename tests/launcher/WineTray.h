#pragma once

// Wine's notification area as its explorer draws it on the taskbar of the
// virtual desktop (Wine 8): the icons stand right to left in the order they
// were added, each in a slot of the small icon size plus 2 pixels on each side,
// and a mouse message on a slot reaches the icon's owner as its callback
// message (lParam the mouse message, wParam the icon's id).
//
//   TrayListener listener;                      // a window of the test's own
//   ASSERT_TRUE(listener.AddIcon(1));
//   EXPECT_EQ(listener.SlotOf(1), 1);           // one icon was there before it
//   ASSERT_TRUE(SendToTraySlot(0, WM_RBUTTONUP)); // a right click on the first icon

#include <windows.h>

// The taskbar that holds the icons, or null.
HWND TrayWindow();

// Sends a mouse message to the centre of slot (0 is the rightmost); the tray
// relays it before this returns. False when the tray does not answer.
bool SendToTraySlot(int slot, UINT mouseMessage);

// A hidden window of the calling thread that owns tray icons and records the
// callbacks the tray relays to it.
class TrayListener {
public:
    static constexpr UINT kCallbackMessage = WM_APP + 7;

    TrayListener();
    ~TrayListener();
    TrayListener(const TrayListener&) = delete;
    TrayListener& operator=(const TrayListener&) = delete;

    HWND Window() const { return window_; }

    // Adds and removes an icon of this window with the id; true on the shell's success.
    bool AddIcon(UINT id);
    bool RemoveIcon(UINT id);

    // The slot of this window's icon id: where a mouse move comes back as its
    // callback. -1 when no slot up to maxSlots answers.
    int SlotOf(UINT id, int maxSlots = 12);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    UINT lastId_ = 0;
    bool called_ = false;
};
