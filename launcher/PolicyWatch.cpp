#include "launcher/PolicyWatch.h"

#include "foundation/Names.h"

#include <string>
#include <utility>

namespace {

constexpr DWORD kValuesAndSubkeys = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// A policy tree larger than this is watched in part.
constexpr size_t kMostKeys = 512;
constexpr DWORD kKeyNameChars = 256;

RegKey OpenForWatch(HKEY parent, const wchar_t* path)
{
    RegKey key;
    if (RegOpenKeyExW(parent, path, 0, KEY_NOTIFY | KEY_ENUMERATE_SUB_KEYS, key.Put()) != ERROR_SUCCESS)
        key.Reset();
    return key;
}

// Asks for the key's next change on the event and keeps the key open while it is watched.
bool Keep(std::vector<RegKey>& keys, RegKey key, DWORD changes, HANDLE event)
{
    if (RegNotifyChangeKeyValue(key.Get(), FALSE, changes, event, TRUE) != ERROR_SUCCESS)
        return false;
    keys.push_back(std::move(key));
    return true;
}

// The key and every key below it. Each is watched before its subkeys are listed, so that
// a subkey made meanwhile is either listed or signalled.
void WatchTree(std::vector<RegKey>& keys, HKEY parent, const wchar_t* path, HANDLE event)
{
    RegKey key = OpenForWatch(parent, path);
    if (!key || keys.size() >= kMostKeys)
        return;
    const HKEY watched = key.Get();
    if (!Keep(keys, std::move(key), kValuesAndSubkeys, event))
        return;
    wchar_t name[kKeyNameChars];
    for (DWORD i = 0; keys.size() < kMostKeys; ++i) {
        DWORD chars = kKeyNameChars;
        if (RegEnumKeyExW(watched, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        WatchTree(keys, watched, name, event);
    }
}

// The keys of the policy key's path that exist, from the top down, each for subkeys made
// or removed, then the policy tree. Each is watched before the next is opened, so that a
// key made meanwhile is either opened or signalled.
void WatchRoot(std::vector<RegKey>& keys, HKEY root, HANDLE event)
{
    const std::wstring policy = kPolicyKey;
    for (size_t slash = policy.find(L'\\'); slash != std::wstring::npos; slash = policy.find(L'\\', slash + 1)) {
        RegKey key = OpenForWatch(root, policy.substr(0, slash).c_str());
        if (!key || !Keep(keys, std::move(key), REG_NOTIFY_CHANGE_NAME, event))
            return;
    }
    WatchTree(keys, root, policy.c_str(), event);
}

} // namespace

CPolicyWatch::CPolicyWatch()
{
    Arm();
}

void CPolicyWatch::Arm()
{
    // A fresh event: closing a watched key signals the event it was watched on.
    KernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!event)
        return;
    std::vector<RegKey> keys;
    WatchRoot(keys, HKEY_LOCAL_MACHINE, event.Get());
    WatchRoot(keys, HKEY_CURRENT_USER, event.Get());
    keys_ = std::move(keys);
    event_ = std::move(event);
}
