#pragma once

// The settings program's process-wide state. The registered messages, the
// device catalog and the preset list are made during process initialisation,
// before wWinMain runs; the text manager and the window title at the start of
// wWinMain, where they live until the program ends.

#include "catalog/DeviceCatalog.h"
#include "catalog/DeviceRecords.h"
#include "foundation/CcCheckDualExec.h"

#include <windows.h>

class CTextMgr;

constexpr int kWindowTitleChars = 128;

extern HINSTANCE g_instance;
extern CTextMgr* g_textMgr;            // "TALOTXT.ini", section "TALOGUI"
extern wchar_t g_windowTitle[kWindowTitleChars]; // "GUIWIN_NAME"; a running settings window is found by it
extern CDeviceCatalog g_catalog;
extern TaloPresetList g_presets;

// The single-instance guard, made on first use; its mutex is held until the process ends.
CcCheckDualExec& InstanceGuard();
