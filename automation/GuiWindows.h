#pragma once

// Finding, reading and driving the windows of the programs under test, as a
// person would: top-level windows of a process, dialog controls, message boxes.
// Every wait has a timeout, and messages to another process are sent with a
// timeout or posted, so that no test hangs on a window that does not answer.
//
//   HWND box = WaitForMessageBox(program.ProcessId());
//   ASSERT_NE(box, nullptr);
//   EXPECT_EQ(WindowText(box), L"Parameter Error - Airvane");
//   EXPECT_EQ(MessageBoxText(box), L"Invalid device status was specified in command line.");
//   EXPECT_TRUE(PressButton(box, IDOK));
//   EXPECT_TRUE(WaitForWindowGone(box));

#include <string>
#include <windows.h>

constexpr DWORD kGuiTimeoutMs = 10000;

// Which top-level window: every field left at its default matches any window.
struct WindowQuery {
    DWORD processId = 0;              // the owning process
    const wchar_t* className = nullptr;
    const wchar_t* title = nullptr;   // the whole window text
    bool visibleOnly = true;
};

// The first top-level window that matches, or null; does not wait.
HWND FindTopLevelWindow(const WindowQuery& query);

// Waits until a matching top-level window exists; null after timeoutMs.
HWND WaitForTopLevelWindow(const WindowQuery& query, DWORD timeoutMs = kGuiTimeoutMs);

// Waits until window is destroyed or hidden; false after timeoutMs.
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kGuiTimeoutMs);

// The text of a window or of a dialog's control (empty when it does not answer
// within a second).
std::wstring WindowText(HWND window);
std::wstring DialogItemText(HWND dialog, int id);

// Presses the button id of a dialog or message box as a click would: posts the
// button's WM_COMMAND to the dialog. False when the button is missing, hidden or
// disabled. Posting returns at once, also when the press starts a long operation.
bool PressButton(HWND dialog, int id);

// Waits for a message box of the process: a dialog (class "#32770") holding the
// message box's text control. Null after timeoutMs.
HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs = kGuiTimeoutMs);

// The text of a message box (its caption is WindowText).
std::wstring MessageBoxText(HWND box);

// Pumps the calling thread's messages for the time given: for tests whose own
// thread owns windows (Sleep would leave them unpainted).
void PumpMessagesFor(DWORD milliseconds);
