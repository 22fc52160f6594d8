#include "catalog/Companion.h"

#include "foundation/CcRegistry.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <strsafe.h>

namespace {

wchar_t updaterPath[MAX_PATH];

} // namespace

int ReadUpdaterPath()
{
    updaterPath[0] = L'\0';
    CcRegistry key;
    if (!key.OpenKey(kCompanionPathKey, HKEY_LOCAL_MACHINE, KEY_READ))
        return 0;
    const CcString path = key.GetString(kCompanionPathValue, L"", 0);
    // A cut path would name another program: one that does not fit counts as none.
    if (path.IsEmpty() || FAILED(StringCchCopyW(updaterPath, MAX_PATH, path))) {
        updaterPath[0] = L'\0';
        return 0;
    }
    return 1;
}

void GrantAdmission()
{
    if (updaterPath[0] == L'\0')
        return;
    RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 1);
    // The shell may hand the start to an extension, which needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteW(nullptr, L"open", updaterPath, nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com))
        CoUninitialize();
}

void RevokeAdmission()
{
    if (updaterPath[0] != L'\0')
        RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, 0);
}
