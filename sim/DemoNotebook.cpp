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
    ok = ok && notebook.AddDevice(Device(L"USB\\VID_1E0E&PID_9001\\5&3A1F0C2D&0&1", L"USB", L"USB",
                                         {L"USB\\VID_1E0E&PID_9001&REV_0232", L"USB\\VID_1E0E&PID_9001"}, nullptr,
                                         L"USB Composite Device"));
    ok = ok && notebook.AddDevice(Device(L"USB\\VID_1E0E&PID_9001&MI_01\\6&1B2C3D4E&0&0001", L"USB", L"Ports",
                                         {L"USB\\VID_1E0E&PID_9001&MI_01"}, L"HSPA Application Interface (COM4)",
                                         L"HSPA Application Interface"));
    ok = ok && notebook.AddDevice(Device(L"USB\\VID_1E0E&PID_9001&MI_02\\6&1B2C3D4E&0&0002", L"USB", L"Modem",
                                         {L"USB\\VID_1E0E&PID_9001&MI_02"}, L"HSPA Modem", L"HSPA Modem"));
    SimDevice cdrom = Device(L"USBSTOR\\CDROM&VEN_GENERIC&PROD_DVD-RW_DRIVE&REV_1.00\\7&2A3B4C5D&0", L"USBSTOR",
                             L"CDROM", {L"USBSTOR\\CdRomGeneric_DVD-RW_Drive_1.00", L"GenCdRom"}, nullptr,
                             L"Generic DVD-RW USB Device");
    cdrom.capabilities = DN_DISABLEABLE | DN_REMOVABLE;
    ok = ok && notebook.AddDevice(cdrom);

    ok = ok && notebook.AddNetworkCard(L"7", kWlanDescription, kWlanService) &&
         notebook.AddNetworkCard(L"9", kEthernetDescription, kEthernetService);
    ok = ok && notebook.SetWlanService(SimWlanService()) && notebook.AddWlanInterface({kWlanDescription, wlan});
    ok = ok && notebook.AddNdisAdapter({kWlanService, true, wlan}) &&
         notebook.AddNdisAdapter({kEthernetService, false, ethernet});

    ok = ok && notebook.AddRealKey(kKvrfusbEnumKey) &&
         notebook.AddInterface(GUID_BTSW_CONTROL, L"\\\\?\\ROOT#KVRFUSB#0000#{2f5831d5-96ca-461f-8012-4132f56feba3}",
                               true) &&
         notebook.AddInterface(GUID_BTSW_RADIO, L"\\\\?\\ROOT#KVRFUSB#0001#{90b11c7a-f14e-4093-9163-c5bc79c5d6b9}",
                               true) &&
         notebook.SetBluetoothSwitch(0, false);
    return ok ? 1 : 0;
}
