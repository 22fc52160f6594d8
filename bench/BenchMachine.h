#pragma once

#include "automation/RegistrySnapshot.h"

#include <string>

// The machine of the figures that run the programs: the demo notebook on the
// simulated machine's default key, which the service reads, and TALOService.exe
// installed and started as the tests install it. At the end the service is
// removed, the notebook cleared and the product's keys put back as they were.
class BenchMachine {
public:
    BenchMachine();
    ~BenchMachine();
    BenchMachine(const BenchMachine&) = delete;
    BenchMachine& operator=(const BenchMachine&) = delete;

    bool Ready() const { return ready_; }

    // A further WLAN adapter of the notebook: a Net device with its network card,
    // listed by the WLAN service and answering the NDIS query. False on failure.
    bool AddWlanAdapter(int number, const std::wstring& hwId, const std::wstring& description);

private:
    RegistrySnapshot deviceList_;
    RegistrySnapshot companionFlag_;
    RegistrySnapshot presets_;
    bool ready_ = false;
};
