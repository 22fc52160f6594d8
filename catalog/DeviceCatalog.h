#pragma once

#include "catalog/DeviceRecords.h"
#include "foundation/DeviceSections.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CDeviceSnapshot;

// The Bluetooth radio as the catalog asks about it.
class IBluetoothRadio {
public:
    virtual ~IBluetoothRadio() = default;
    // True when the stack's service is installed: "BLUETOOTH" in "DeviceList" then means the radio.
    virtual bool IsStackInstalled() const = 0;
    // The radio's state; false when it cannot be read.
    virtual bool ReadPower(bool& on) const = 0;
};

// What the programs' catalogs differ in.
struct CatalogOptions {
    DWORD wlanClientVersion = 0;                // the version the WLAN service is asked as
    const IBluetoothRadio* bluetooth = nullptr; // none: "BLUETOOTH" names a device section like any other
};

// The settings program's catalog: the stack's radio, WLAN client version 1 (catalog_bluetooth).
CatalogOptions SettingsCatalogOptions();
// The launcher's: no radio, WLAN client version 2.
CatalogOptions LauncherCatalogOptions();

// Values of the device sections are taken up to 127 characters. A longer value is
// never cut (a cut class or hardware ID would name other devices): the entry that
// holds it counts as missing.
constexpr size_t kSectionValueChars = 128;
inline bool FitsSectionValue(const std::wstring& value)
{
    return value.size() < kSectionValueChars;
}

// The devices this system manages that are installed now, each with its state,
// in the order the "DeviceList" section of "TALOTXT.ini" finds them.
class CDeviceCatalog : public TaloDeviceArray {
public:
    // Reads the "TALOTXT.ini" that FindLanguageFile finds, or the given file, and
    // builds the catalog. Without a text file the catalog stays empty.
    explicit CDeviceCatalog(const CatalogOptions& options);
    CDeviceCatalog(const CatalogOptions& options, const wchar_t* textFilePath);
    // Reads the text file as the first form does, but leaves the catalog empty for
    // a caller that fills it type by type (AddListedType).
    struct Unbuilt {};
    CDeviceCatalog(const CatalogOptions& options, Unbuilt);
    ~CDeviceCatalog() override;

    // Empties the catalog and fills it again from "DeviceList"; returns the count.
    int BuildCatalog();

    // The values of "DeviceList" that BuildCatalog reads, in order.
    std::vector<std::wstring> ListedTypes();
    // Appends the devices of one type as BuildCatalog finds them: "UMTS", "WLAN",
    // "BLUETOOTH" (the radio, when the options have one and its stack is
    // installed), or the name of a device section.
    void AddListedType(CDeviceSnapshot& devices, const wchar_t* type);

    // The readers BuildCatalog calls; each appends zero or more records. The
    // readers of one build share one snapshot of the devices.
    void AddSectionDevices(CDeviceSnapshot& devices, const wchar_t* sectionName);
    void AddUmtsDevice(CDeviceSnapshot& devices);
    void AddRegisteredDevices(CDeviceSnapshot& devices);
    void AddNetworkCards(CDeviceSnapshot& devices);

    // The first "UMTS" entry whose root device is installed in a definite state,
    // as the devices are now; false when there is none.
    bool FindPresentUmtsEntry(UmtsEntry& entry);

    // Switch the UMTS modem of the first present entry through the service: on,
    // root first and then the sub-devices upwards; off, the sub-devices downwards
    // and the root last. Stop at the first step that fails (0); 1 when every step
    // succeeded, 2 when they did and one takes effect after a restart. Defined
    // with preset application (catalog_apply).
    int EnableUmtsModem();
    int DisableUmtsModem();

    // True when switching a preset's device to its setting would change nothing, as
    // the last build saw the devices: every device of its class and prefix, or the
    // UMTS modem's root and sub-devices, in the wanted state as a switch tests it;
    // the Bluetooth radio of the stack as the build listed it. False when unknown:
    // before a build, or for a device that selects none.
    bool IsInState(const TALO_DEVICEINFO& device);

private:
    bool FindPresentUmtsEntry(CDeviceSnapshot& devices, UmtsEntry& entry);
    void AddBluetoothRadio();
    bool IsListed(const wchar_t* hwId) const;
    void Append(const wchar_t* deviceName, const wchar_t* className, const wchar_t* hwId, int setting);

    CatalogOptions options_;
    CDeviceSections sections_;
    std::unique_ptr<CDeviceSnapshot> lastBuild_; // the devices as the last build saw them
};
