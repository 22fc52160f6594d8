#include "service/wnp/ServiceState.h"

#include "foundation/Names.h"

#include <vector>

CcCheckDualExec g_instanceGuard;
CMMFData g_block(kRequestBlockName);
HINSTANCE g_module = nullptr;
HWND g_window = nullptr;
KernelHandle g_stopFlag(CreateEventW(nullptr, TRUE, FALSE, nullptr));
KernelHandle g_worker;
CDevicePolicyCache g_devicePolicy;

std::wstring ServiceFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}
