#pragma once

// A simulated notebook for catalog tests: its devices, network cards, WLAN service
// and Bluetooth stack, the text file the catalog reads, and the machine-wide device
// list (the product's own key, restored when the test ends).

#include "automation/RegistrySnapshot.h"
#include "catalog/DeviceRecords.h"
#include "tests/support/ScopedSimMachine.h"
#include "tests/support/TempFolder.h"

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// A catalog record as plain values, for comparisons and readable failures.
struct Record {
    std::wstring name;
    std::wstring className;
    std::wstring hwId;
    int setting;

    bool operator==(const Record& other) const
    {
        return name == other.name && className == other.className && hwId == other.hwId &&
               setting == other.setting;
    }
};
void PrintTo(const Record& record, std::ostream* out);

std::vector<Record> Records(const TaloDeviceArray& catalog);

// A device of a test's notebook.
struct NewDevice {
    NewDevice(std::wstring className, std::vector<std::wstring> hardwareIds, std::wstring description,
               std::optional<std::wstring> friendlyName = std::nullopt, bool disabled = false, bool present = true)
        : className(std::move(className)), hardwareIds(std::move(hardwareIds)), description(std::move(description)),
          friendlyName(std::move(friendlyName)), disabled(disabled), present(present)
    {
    }

    std::wstring className;
    std::vector<std::wstring> hardwareIds;
    std::wstring description;
    std::optional<std::wstring> friendlyName;
    bool disabled;
    bool present;
};

class CatalogMachine {
public:
    CatalogMachine();
    // The machine under the simulator's root given (ScopedSimMachine).
    explicit CatalogMachine(const std::wstring& simRoot);

    DWORD AddDevice(const NewDevice& device);
    // A WLAN adapter: a Net device, its network card (the service name derived from
    // the card), listed by the WLAN service while it works and answering the NDIS query.
    DWORD AddWlanAdapter(const std::wstring& card, const std::wstring& hwId, const std::wstring& description,
                         bool disabled = false);
    // A network card entry of its own; the name is made unique to this process.
    bool AddCard(const std::wstring& card, const std::wstring& description);
    static std::wstring CardKey(const std::wstring& card);

    // The Bluetooth stack: its service key, the control device and the radio.
    void AddBluetoothStack(const wchar_t* serviceKey, bool controlPresent, bool radioOn);

    // Writes the text file and returns its path.
    std::wstring TextFile(const std::wstring& contents) const;

    // The device list as the service writes it.
    void Register(const std::wstring& name, const std::wstring& className, const std::wstring& hwId);
    DWORD RegisteredCount() const;
    std::vector<Record> Registered() const; // setting 0

    ScopedSimMachine machine;
    CSimNotebook notebook;
    RegistrySnapshot deviceList;
    TempFolder folder;

private:
    void Prepare(); // an empty device list, the setup classes and the WLAN service
};
