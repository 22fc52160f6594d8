#include "sim/SimNotebook.h"

#include "devices/BtSwCodes.h"
#include "foundation/Names.h"
#include "sim/NotebookParts.h"

using namespace simparts;

namespace {

constexpr wchar_t kWlanDescription[] = L"802.11n Wireless LAN Adapter";
constexpr wchar_t kEthernetDescription[] = L"PCIe Gigabit Ethernet Controller";
constexpr wchar_t kWlanService[] = L"{8F3C2A61-5D4B-4E1A-9C77-2B1E0D6A4F10}";
constexpr wchar_t kEthernetService[] = L"{1B7E9D20-3C5A-4F86-A0D2-6E4C8B1F7A33}";

} // namespace

int SeedDemoNotebook(CSimNotebook& notebook)
{
    if (!StartNotebook(notebook))
        return 0;
    const DWORD wlan = notebook.AddDevice(Device(
        L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01\\4&2F6B1A3C&0&00E1", L"PCI", L"Net",
        {L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01", L"PCI\\VEN_168C&DEV_002B"}, nullptr, kWlanDescription));
    const DWORD ethernet = notebook.AddDevice(Device(
        L"PCI\\VEN_10EC&DEV_8168&SUBSYS_21D217AA&REV_06\\4&1C9D7E2B&0&00E4", L"PCI", L"Net",
        {L"PCI\\VEN_10EC&DEV_8168&SUBSYS_21D217AA&REV_06", L"PCI\\VEN_10EC&DEV_8168"}, nullptr,
        kEthernetDescription));
    bool ok = wlan && ethernet;
    ok = ok && AddUmtsModem(notebook, 0) && AddUsbDrive(notebook, 0);
    ok = ok && ListNetworkAdapters(notebook, {L"7", kWlanDescription, kWlanService, wlan},
                                   {L"9", kEthernetDescription, kEthernetService, ethernet});

    ok = ok && notebook.AddRealKey(kKvrfusbEnumKey) &&
         notebook.AddInterface(GUID_BTSW_CONTROL, L"\\\\?\\ROOT#KVRFUSB#0000#{2f5831d5-96ca-461f-8012-4132f56feba3}",
                               true) &&
         notebook.AddInterface(GUID_BTSW_RADIO, L"\\\\?\\ROOT#KVRFUSB#0001#{90b11c7a-f14e-4093-9163-c5bc79c5d6b9}",
                               true) &&
         notebook.SetBluetoothSwitch(0, false);
    return ok ? 1 : 0;
}
