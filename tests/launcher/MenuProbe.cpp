#include "tests/launcher/MenuProbe.h"

#include "automation/ProgramRunner.h"

namespace {

constexpr UINT kAnswerMs = 5000;

} // namespace

MenuProbe::MenuProbe(HWND window) : window_(window)
{
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(window, &processId);
    if (!threadId)
        return;
    block_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(MenuProbeReport),
                                    MenuProbeBlockName(processId).c_str()));
    library_.Reset(LoadLibraryW(PathBesideTest(L"MenuProbe.dll").c_str()));
    const auto hookProc = library_ ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                         GetProcAddress(library_.Get(), "MenuProbeHook")))
                                   : nullptr;
    if (block_ && hookProc)
        hook_.Reset(SetWindowsHookExW(WH_CALLWNDPROC, hookProc, library_.Get(), threadId));
}

MenuProbe::~MenuProbe() = default;

bool MenuProbe::Read(MenuProbeReport* report)
{
    if (!hook_)
        return false;
    const MappedView view(MapViewOfFile(block_.Get(), FILE_MAP_WRITE, 0, 0, sizeof(MenuProbeReport)));
    if (!view)
        return false;
    auto* shared = static_cast<MenuProbeReport*>(view.Get());
    ZeroMemory(shared, sizeof(*shared));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window_, RegisterWindowMessageW(kMenuProbeMessage), 0, 0, SMTO_ABORTIFHUNG, kAnswerMs,
                        &result);
    const bool answered = InterlockedCompareExchange(&shared->answered, 0, 0) == 1;
    if (answered)
        *report = *shared;
    return answered;
}
