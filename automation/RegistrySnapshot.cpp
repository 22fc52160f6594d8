#include "automation/RegistrySnapshot.h"

#include "foundation/Handle.h"

namespace {

RegKey Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ)
{
    RegKey key;
    RegOpenKeyExW(root, path.c_str(), 0, access, key.Put());
    return key;
}

} // namespace

RegistrySnapshot::RegistrySnapshot(HKEY root, std::wstring path) : root_(root), path_(std::move(path))
{
    for (size_t end = path_.find(L'\\');; end = path_.find(L'\\', end + 1)) {
        const std::wstring prefix = path_.substr(0, end);
        if (!Open(root_, prefix)) {
            createdAncestor_ = prefix;
            return;
        }
        if (end == std::wstring::npos)
            break;
    }
    RegKey key = Open(root_, path_);
    Capture(key.Get(), node_);
}

RegistrySnapshot::~RegistrySnapshot()
{
    Restore();
}

void RegistrySnapshot::Remove() const
{
    RegDeleteTreeW(root_, path_.c_str());
    RegDeleteKeyW(root_, path_.c_str());
}

void RegistrySnapshot::Restore() const
{
    if (!createdAncestor_.empty()) {
        RegDeleteTreeW(root_, createdAncestor_.c_str());
        RegDeleteKeyW(root_, createdAncestor_.c_str());
        return;
    }
    // The key itself stays: a running service may watch it for changes.
    RegKey key;
    if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Put(),
                        nullptr) != ERROR_SUCCESS)
        return;
    RegDeleteTreeW(key.Get(), nullptr);
    WriteContents(key.Get(), node_);
}

void RegistrySnapshot::Capture(HKEY key, Node& node)
{
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameChars = ARRAYSIZE(name);
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegEnumValueW(key, i, name, &nameChars, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
            break;
        Value value{std::wstring(name, nameChars), type, std::vector<BYTE>(bytes)};
        nameChars = ARRAYSIZE(name);
        RegEnumValueW(key, i, name, &nameChars, nullptr, &type, value.data.data(), &bytes);
        value.data.resize(bytes);
        node.values.push_back(std::move(value));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameChars = ARRAYSIZE(name);
        if (RegEnumKeyExW(key, i, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        node.children.emplace_back(std::wstring(name, nameChars), Node());
        RegKey child = Open(key, node.children.back().first);
        Capture(child.Get(), node.children.back().second);
    }
}

void RegistrySnapshot::WriteContents(HKEY key, const Node& node)
{
    for (const Value& value : node.values)
        RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    for (const auto& child : node.children) {
        RegKey childKey;
        if (RegCreateKeyExW(key, child.first.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            childKey.Put(), nullptr) == ERROR_SUCCESS)
            WriteContents(childKey.Get(), child.second);
    }
}
