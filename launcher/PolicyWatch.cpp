#include "launcher/PolicyWatch.h"

#include "foundation/Names.h"

#include <string>

namespace {

constexpr DWORD kChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;

// The policy key, or the nearest parent of it that exists.
std::wstring NearestPath(HKEY root)
{
    std::wstring path = kPolicyKey;
    for (;;) {
        RegKey key;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_NOTIFY, key.Put()) == ERROR_SUCCESS)
            return path;
        const size_t slash = path.rfind(L'\\');
        if (slash == std::wstring::npos)
            return std::wstring();
        path.resize(slash);
    }
}

// Asks for the next change below the nearest existing key. The key stays open while it is
// still the nearest: closing a watched key signals its event, which would wake the loop again.
void Watch(CPolicyWatch::Watched& watched, HKEY root, HANDLE event)
{
    const std::wstring path = NearestPath(root);
    if (path.empty())
        return;
    if (!watched.key || path != watched.path) {
        watched.path = path;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_NOTIFY, watched.key.Put()) != ERROR_SUCCESS)
            return;
    }
    if (RegNotifyChangeKeyValue(watched.key.Get(), TRUE, kChanges, event, TRUE) != ERROR_SUCCESS)
        watched.key.Reset();
}

} // namespace

CPolicyWatch::CPolicyWatch() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    Arm();
}

void CPolicyWatch::Arm()
{
    if (!event_)
        return;
    Watch(machine_, HKEY_LOCAL_MACHINE, event_.Get());
    Watch(user_, HKEY_CURRENT_USER, event_.Get());
}
