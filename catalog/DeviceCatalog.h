#pragma once

#include "catalog/DeviceRecords.h"
#include "foundation/CTextMgr.h"

#include <memory>

// The devices this system manages that are installed now, each with its state,
// in the order the "DeviceList" section of "TALOTXT.ini" finds them. Two
// flavours are built from the same sources: the settings program's (defines
// AIRVANE_SETTINGS_CATALOG: the "BLUETOOTH" case and WLAN client version 1) and
// the launcher's (without the Bluetooth radio, WLAN client version 2).
class CDeviceCatalog : public TaloDeviceArray {
public:
    // Reads the "TALOTXT.ini" that FindLanguageFile finds, or the given file, and
    // builds the catalog. Without a text file the catalog stays empty.
    CDeviceCatalog();
    explicit CDeviceCatalog(const wchar_t* textFilePath);
    ~CDeviceCatalog() override;

    // Empties the catalog and fills it again from "DeviceList"; returns the count.
    int BuildCatalog();

    // The readers BuildCatalog calls; each appends zero or more records.
    void AddSectionDevices(const wchar_t* sectionName);
    void AddUmtsDevice();
    void AddRegisteredDevices();
    void AddNetworkCards();
#if defined(AIRVANE_SETTINGS_CATALOG)
    void AddBluetoothRadio();
#endif

    // 1 and the number of the first "UMTS" entry whose root device is installed in
    // a definite state, or 0. Leaves the text manager's section at "UMTS".
    int FindPresentUmtsEntry(int* index);

    // The catalog's text manager, for readers of the "UMTS" sub-devices; each reader
    // sets the section it needs.
    CTextMgr& GetTextMgr() { return *text_; }

#if defined(AIRVANE_SETTINGS_CATALOG)
    // Switch the UMTS modem of the first present entry through the service: on,
    // root first and then the sub-devices upwards; off, the sub-devices downwards
    // and the root last. Stop at the first step that fails; 1 when every step
    // succeeded. Defined with preset application (catalog_apply).
    int EnableUmtsModem();
    int DisableUmtsModem();
#endif

private:
    bool IsListed(const wchar_t* hwId) const;
    void Append(const wchar_t* deviceName, const wchar_t* className, const wchar_t* hwId, int setting);

    std::unique_ptr<CTextMgr> text_;
};
