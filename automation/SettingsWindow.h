#pragma once

// The settings window of an installed TALOSetting.exe started without
// arguments, driven by messages as a person drives it with the mouse: list
// selections with their notification, check marks in the tree, button presses.
//
//   SettingsWindow window(settingsPath, L"Airvane Settings", L"New Preset");
//   ASSERT_TRUE(window.IsOpen());
//   window.Select(1);
//   window.Check(0, false);
//   const HWND reg = window.PressOkForRegister();

#include "automation/BuildPrograms.h"
#include "automation/RemoteControls.h"

#include <string>
#include <vector>
#include <windows.h>

class SettingsWindow {
public:
    // Starts the program and waits until its window shows the first entry's
    // devices. The titles are the texts of "GUIWIN_NAME" and "GUIREG_NAME".
    SettingsWindow(const std::wstring& programPath, const std::wstring& title, const std::wstring& registerTitle);

    bool IsOpen() const { return dialog_ != nullptr && IsWindow(dialog_); }
    HWND Dialog() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    RunningProgram& Program() { return program_; }

    std::vector<std::wstring> Presets() const;
    int Selection() const;
    // Selects a list entry (LB_ERR: none) and tells the window as the list does.
    void Select(int entry) const;
    // Sends the list's notification code to the window (WM_COMMAND with id 1011).
    void Notify(WORD code) const;

    std::vector<TreeEntry> Devices() const;
    std::vector<std::wstring> DeviceNames() const;
    bool Check(int device, bool checked) const;
    // Moves the keyboard focus to a control, as a click into it does.
    void Focus(int id) const;
    // The control that holds the keyboard focus in the window's thread.
    HWND FocusedControl() const;
    bool TreeEnabled() const { return IsWindowEnabled(Item(1013)) != FALSE; }
    bool DeleteEnabled() const { return IsWindowEnabled(Item(1005)) != FALSE; }

    // Presses OK while the new-preset entry is selected; the register dialog, or null.
    HWND PressOkForRegister();
    // Presses a button of a dialog of the program and waits for a message box.
    HWND PressForMessageBox(HWND dialog, int id);

    // Waits for the program's end; false when it still runs after timeoutMs.
    bool WaitForExit(DWORD timeoutMs = 30000);

private:
    RunningProgram program_;
    std::wstring registerTitle_;
    HWND dialog_ = nullptr;
};

// The register dialog's name field, filled as typing fills it: one WM_CHAR per character.
void TypeName(HWND registerDialog, const std::wstring& name);
std::wstring NameField(HWND registerDialog);
