#include "launcher/LauncherWindow.h"

#include "catalog/DeviceCatalog.h"
#include "catalog/PresetHotkey.h"
#include "catalog/PresetStore.h"
#include "catalog/PresetsChangedMsg.h"
#include "foundation/CLocalPath.h"
#include "foundation/CcCheckDualExec.h"
#include "foundation/CcException.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "foundation/ProcessStart.h"
#include "launcher/ForegroundWindow.h"
#include "launcher/LauncherGlobals.h"
#include "launcher/PresetHotkeys.h"
#include "launcher/PresetKeeper.h"
#include "launcher/RuleKeeper.h"
#include "launcher/TrayIcon.h"

#include <algorithm>
#include <dbt.h>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT kTrayIconId = 0;
constexpr int kNoPreset = -1;

std::unique_ptr<TrayIcon> g_trayIcon;
Menu g_menu; // the popup menu while it is open
std::unique_ptr<PresetHotkeys> g_hotkeys;
// The keys held by another program that a notice has named, with their presets' names.
std::vector<std::pair<std::wstring, WORD>> g_reportedTakenKeys;

// A preset's menu item: its name, and its shortcut key right-aligned beside it.
std::wstring MenuItemText(const TALO_PRESET& preset)
{
    std::wstring text = preset.Name.GetString();
    if (preset.Hotkey != 0)
        text += L"\t" + HotkeyText(preset.Hotkey);
    return text;
}

void ShowTrayMenu(HWND window)
{
    // A settings program that starts while the menu is open finds itself running and ends.
    CcCheckDualExec settingsInstance;
    if (settingsInstance.Check(kSettingsInstanceMutex) != CcCheckDualExec::kFirstInstance)
        return;

    POINT cursor = {};
    GetCursorPos(&cursor);
    SetForegroundWindow(FindWindowW(L"Shell_TrayWnd", nullptr));
    // The menu closes on a click elsewhere only while its window is the foreground window.
    ForceForegroundWindow(window);

    g_menu.Reset(CreatePopupMenu());
    if (!g_menu)
        return;
    AppendMenuW(g_menu.Get(), MF_STRING, ID_MENU_SETTINGS, Texts.settingsItem);
    if (Presets.GetSize() > 0) {
        AppendMenuW(g_menu.Get(), MF_SEPARATOR, 0, nullptr);
        for (int i = 0; i < Presets.GetSize(); ++i)
            AppendMenuW(g_menu.Get(), MF_STRING, ID_MENU_PRESET_BASE + i, MenuItemText(Presets[i]).c_str());
    }
    // The settings item is the default: drawn bold.
    SetMenuDefaultItem(g_menu.Get(), ID_MENU_SETTINGS, FALSE);
    TrackPopupMenuEx(g_menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, window,
                     nullptr);
    // Without a message of its own after the menu, a second right click on the icon opens a menu that
    // closes at once.
    PostMessageW(window, WM_NULL, 0, 0);
    g_menu.Reset();
}

// Starts the settings program of the launcher's own folder in that folder,
// with " /p<n>" (apply preset n) unless presetIndex is kNoPreset. The keeper
// watches it for its end; nobody is told when it fails to start.
void StartSettingsProgram(HWND window, int presetIndex)
{
    wchar_t folder[CLocalPath::kPathChars];
    if (!CLocalPath::MakeLocalPath(folder, L""))
        return;
    const std::wstring program = std::wstring(folder) + kSettingsProgramFile;
    const std::wstring argument = presetIndex != kNoPreset ? L" /p" + std::to_wstring(presetIndex) : std::wstring();
    WatchChosenSettingsProgram(window, StartWatchedProgram(program.c_str(), argument.c_str(), folder));
}

// A preset's command is checked against the list as it is now: it may have
// shrunk since the menu was built.
void OnCommand(HWND window, WPARAM command)
{
    if (command == ID_MENU_SETTINGS)
        StartSettingsProgram(window, kNoPreset);
    else if (command >= ID_MENU_PRESET_BASE && command < ID_MENU_PRESET_BASE + WPARAM(Presets.GetSize()))
        StartSettingsProgram(window, static_cast<int>(command - ID_MENU_PRESET_BASE));
}

// Registers the presets' keys afresh and names, in one notice, each key that
// another program holds and no notice has named yet for its preset. A notice
// that the shell refuses (no icon yet) is given again at the next registration.
void RegisterPresetHotkeys(HWND window)
{
    if (!g_hotkeys)
        g_hotkeys.reset(CheckAllocation(new (std::nothrow) PresetHotkeys(window)));
    std::wstring notice;
    std::vector<std::pair<std::wstring, WORD>> named;
    for (const int preset : g_hotkeys->Register(Presets)) {
        std::pair<std::wstring, WORD> key(Presets[preset].Name.GetString(), Presets[preset].Hotkey);
        if (std::find(g_reportedTakenKeys.begin(), g_reportedTakenKeys.end(), key) != g_reportedTakenKeys.end())
            continue;
        if (!notice.empty())
            notice += L"\r\n";
        notice += HotkeyTakenText(Texts, key.first, HotkeyText(key.second));
        named.push_back(std::move(key));
    }
    if (!notice.empty() && ShowTrayNotice(Texts.hotkeyTakenTitle, notice.c_str(), true))
        g_reportedTakenKeys.insert(g_reportedTakenKeys.end(), named.begin(), named.end());
}

// A preset's key applies it as its menu item does.
void OnHotkey(HWND window, WPARAM id)
{
    const int preset = g_hotkeys ? g_hotkeys->PresetOf(id) : -1;
    if (preset >= 0 && preset < Presets.GetSize())
        StartSettingsProgram(window, preset);
}

} // namespace

void AddTrayIcon(HWND window)
{
    RemoveTrayIcon();
    g_trayIcon.reset(CheckAllocation(new (std::nothrow) TrayIcon));
    g_trayIcon->Add(window, TrayCallbackMsg, kTrayIconId, TrayIconImage, Texts.tooltip);
}

void RemoveTrayIcon()
{
    if (!g_trayIcon)
        return;
    g_trayIcon->Remove();
    g_trayIcon.reset();
}

bool ShowTrayNotice(const wchar_t* title, const wchar_t* text, bool warning)
{
    return g_trayIcon && g_trayIcon->ShowNotice(title, text, warning) != 0;
}

LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (TaskbarCreatedMsg != 0 && message == TaskbarCreatedMsg) {
        AddTrayIcon(window);
        RegisterPresetHotkeys(window);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (PresetsChangedMsg != 0 && message == PresetsChangedMsg) {
        LoadPresets(Presets);
        RegisterPresetHotkeys(window);
        return 0;
    }
    switch (message) {
    case WM_CREATE: {
        // Built only for its lasting effect: newly found WLAN adapters join the device list.
        const CDeviceCatalog catalog(LauncherCatalogOptions());
        AddTrayIcon(window);
        RegisterPresetHotkeys(window);
        // At log-on the rules that match the machine apply; without one, a preset in force
        // may have been undone while nobody watched.
        if (!StartRules(window))
            ReapplyPresetInForce(window);
        return 0;
    }
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            ReapplyPresetInForce(window);
        else if (wParam == PBT_APMPOWERSTATUSCHANGE)
            OnPowerSourceChanged(window);
        return TRUE;
    case WM_DEVICECHANGE:
        if (wParam == DBT_DEVNODES_CHANGED) {
            OnDeviceTreeChanged(window);
            OnDevicesChangedForRules(window);
        }
        return TRUE;
    case WM_TIMER:
        if (wParam == kDeviceChangeTimerId)
            OnDeviceChangesSettled(window);
        else if (wParam == kRuleEventTimerId)
            OnRuleEventsSettled(window);
        return 0;
    case CableChangedMsg:
        OnCableChanged(window);
        return 0;
    case ReapplyEndedMsg:
        OnReapplyEnded(window);
        return 0;
    case ChosenRunEndedMsg:
        OnChosenRunEnded(window);
        return 0;
    case WM_DESTROY:
        StopRules();
        g_hotkeys.reset();
        RemoveTrayIcon();
        PostQuitMessage(0);
        return 0;
    // The launcher holds nothing to save: it agrees to end whenever the session ends or the
    // Restart Manager (an update or removal of the package) asks, and ends on the answer.
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_COMMAND:
        OnCommand(window, wParam);
        return 0;
    case WM_HOTKEY:
        OnHotkey(window, wParam);
        return 0;
    case TrayCallbackMsg:
        if (lParam == WM_RBUTTONUP) {
            SetForegroundWindow(window);
            PostMessageW(window, ShowTrayMenuMsg, 0, 0);
        } else if (lParam == WM_LBUTTONDBLCLK) {
            PostMessageW(window, WM_COMMAND, ID_MENU_SETTINGS, 0);
        }
        return 0;
    case ShowTrayMenuMsg:
        ShowTrayMenu(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
