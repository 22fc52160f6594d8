#pragma once

// What the menu probe reads of the popup menu that a thread of another process
// has open. Wine cannot read a menu of another process, so the probe is a hook
// library that the tray tests load into the launcher: on the registered message
// kMenuProbeMessage, sent to any window of the hooked thread, it writes the
// menu into the shared block named MenuProbeBlockName(that process's id).
//
//   MenuProbe probe(launcherWindow);
//   MenuProbeReport report;
//   ASSERT_TRUE(probe.Read(&report));
//   EXPECT_EQ(report.defaultId, 100u);

#include "foundation/Handle.h"

#include <string>
#include <windows.h>

constexpr wchar_t kMenuProbeMessage[] = L"AirvaneTest.MenuProbe";
constexpr int kMenuProbeItems = 32;
constexpr int kMenuProbeTextChars = 260;

struct MenuProbeItem {
    UINT id;
    UINT type;  // MFT_ bits
    UINT state; // MFS_ bits
    wchar_t text[kMenuProbeTextChars];
};

struct MenuProbeReport {
    LONG answered; // 1 once the probe has written the report
    int count;     // items of the open menu; -1 when no menu is open
    UINT defaultId;
    MenuProbeItem items[kMenuProbeItems];
};

inline std::wstring MenuProbeBlockName(DWORD processId)
{
    return L"Local\\AirvaneTest.MenuProbe." + std::to_wstring(processId);
}

// The test's side: hooks the thread of window with the probe library beside the
// test program, and reads the menu that thread has open.
class MenuProbe {
public:
    explicit MenuProbe(HWND window);
    ~MenuProbe();
    MenuProbe(const MenuProbe&) = delete;
    MenuProbe& operator=(const MenuProbe&) = delete;

    bool Hooked() const { return hook_.IsValid(); }

    // False when the hooked thread did not answer.
    bool Read(MenuProbeReport* report);

private:
    struct HookTraits {
        using Type = HHOOK;
        static Type None() noexcept { return nullptr; }
        static bool IsValid(Type h) noexcept { return h != nullptr; }
        static void Close(Type h) noexcept { ::UnhookWindowsHookEx(h); }
    };

    HWND window_;
    KernelHandle block_;
    Library library_;
    UniqueHandle<HookTraits> hook_; // released before the library
};
