#pragma once

#include "sim/SimNotebook.h"

#include <string>
#include <utility>

// Gives a test a simulated notebook of its own: AIRVANE_SIM_ROOT names a key of
// this process (child processes inherit it), which starts empty and is removed,
// with the real keys the machine created, when the test ends.
class ScopedSimMachine {
public:
    ScopedSimMachine() : ScopedSimMachine(L"SOFTWARE\\AirvaneSimTest\\" + std::to_wstring(GetCurrentProcessId())) {}
    // The notebook under root instead, e.g. the default one that an installed service reads.
    explicit ScopedSimMachine(std::wstring root) : root_(std::move(root))
    {
        SetEnvironmentVariableW(L"AIRVANE_SIM_ROOT", root_.c_str());
        CSimNotebook().Clear();
    }

    ~ScopedSimMachine()
    {
        CSimNotebook().Clear();
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, root_.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\AirvaneSimTest"); // when no other test process uses it
        SetEnvironmentVariableW(L"AIRVANE_SIM_ROOT", nullptr);
    }

    ScopedSimMachine(const ScopedSimMachine&) = delete;
    ScopedSimMachine& operator=(const ScopedSimMachine&) = delete;

    const std::wstring& Root() const { return root_; }

private:
    std::wstring root_;
};
