#include "tests/support/UniqueName.h"

#include <atomic>
#include <windows.h>

std::wstring UniqueName(const wchar_t* stem)
{
    static std::atomic<unsigned> counter{0};
    return std::wstring(L"AirvaneTest.") + stem + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(++counter);
}
