#include "tests/support/ScopedRegKey.h"

#include "tests/support/UniqueName.h"

namespace {

constexpr wchar_t kTestsKey[] = L"Software\\AirvaneTests";

} // namespace

ScopedRegKey::ScopedRegKey(HKEY root)
    : root_(root), path_(std::wstring(kTestsKey) + L"\\" + UniqueName(L"Key"))
{
    RegDeleteTreeW(root_, path_.c_str()); // left by a run that crashed with the same process id
    RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    key_.Put(), nullptr);
}

ScopedRegKey::~ScopedRegKey()
{
    key_.Reset();
    RegDeleteTreeW(root_, path_.c_str());
    RegDeleteKeyW(root_, path_.c_str());
    RegDeleteKeyW(root_, kTestsKey); // fails while other tests still have keys there
}
