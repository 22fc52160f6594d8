// A notebook of today: no special Bluetooth stack, a radio of class "Bluetooth" on
// the operating system's own stack whose children exist only while it is on, and
// switches that take the time real devices take.
#include "sim/SimNotebook.h"

#include "sim/NotebookParts.h"

using namespace simparts;

namespace {

constexpr wchar_t kWlanDescription[] = L"Wi-Fi 6 Wireless Network Adapter";
constexpr wchar_t kEthernetDescription[] = L"PCIe 2.5GbE Family Controller";
constexpr wchar_t kWlanService[] = L"{3E5D8A72-1F4C-4B09-B6D3-9A0C2E7F5B41}";
constexpr wchar_t kEthernetService[] = L"{C71A4F0E-8B2D-4D63-9E15-5F3B0A6C2D88}";

// How long one switch takes, in milliseconds: network adapters a few hundred,
// the Bluetooth radio well over a second while its stack comes up or goes down.
constexpr DWORD kWlanLatency = 400;
constexpr DWORD kEthernetLatency = 250;
constexpr DWORD kModemLatency = 300;
constexpr DWORD kRadioLatency = 1500;
constexpr DWORD kChildLatency = 200;
constexpr DWORD kDriveLatency = 200;

// A device that the radio's stack enumerates: present only while the radio works.
SimDevice RadioChild(SimDevice device, DWORD radio)
{
    device.parent = radio;
    device.latencyMs = kChildLatency;
    return device;
}

} // namespace

int SeedModernNotebook(CSimNotebook& notebook)
{
    if (!StartNotebook(notebook))
        return 0;
    const DWORD wlan = notebook.AddDevice(WithLatency(
        Device(L"PCI\\VEN_8086&DEV_A0F0&SUBSYS_00748086&REV_20\\3&11583659&0&A3", L"PCI", L"Net",
               {L"PCI\\VEN_8086&DEV_A0F0&SUBSYS_00748086&REV_20", L"PCI\\VEN_8086&DEV_A0F0&SUBSYS_00748086",
                L"PCI\\VEN_8086&DEV_A0F0"},
               nullptr, kWlanDescription),
        kWlanLatency));
    const DWORD ethernet = notebook.AddDevice(WithLatency(
        Device(L"PCI\\VEN_10EC&DEV_8125&SUBSYS_38B917AA&REV_05\\01000000684CE00000", L"PCI", L"Net",
               {L"PCI\\VEN_10EC&DEV_8125&SUBSYS_38B917AA&REV_05", L"PCI\\VEN_10EC&DEV_8125"}, nullptr,
               kEthernetDescription),
        kEthernetLatency));
    bool ok = wlan && ethernet;
    ok = ok && AddUmtsModem(notebook, kModemLatency);

    // The radio on the USB bus, and what the system's stack enumerates below it.
    const DWORD radio = notebook.AddDevice(WithLatency(
        Device(L"USB\\VID_8087&PID_0026\\5&2E9B1C7A&0&10", L"USB", L"Bluetooth",
               {L"USB\\VID_8087&PID_0026&REV_0002", L"USB\\VID_8087&PID_0026"}, nullptr,
               L"Wireless Bluetooth(R) Adapter"),
        kRadioLatency));
    ok = ok && radio;
    ok = ok && notebook.AddDevice(RadioChild(Device(L"BTH\\MS_BTHBRB\\7&1F2A3B4C&0&1", L"BTH", L"Bluetooth",
                                                    {L"BTH\\MS_BTHBRB"}, nullptr, L"Bluetooth Enumerator"),
                                             radio));
    ok = ok && notebook.AddDevice(RadioChild(Device(L"BTH\\MS_BTHLE\\7&1F2A3B4C&0&2", L"BTH", L"Bluetooth",
                                                    {L"BTH\\MS_BTHLE"}, nullptr, L"Bluetooth LE Enumerator"),
                                             radio));
    SimDevice rfcomm = RadioChild(Device(L"BTH\\MS_RFCOMM\\7&1F2A3B4C&0&0", L"BTH", L"Bluetooth",
                                         {L"BTH\\MS_RFCOMM"}, nullptr, L"Bluetooth Device (RFCOMM Protocol TDI)"),
                                  radio);
    rfcomm.capabilities = 0; // the transport cannot be disabled on its own
    ok = ok && notebook.AddDevice(rfcomm);
    ok = ok && notebook.AddDevice(RadioChild(
                   Device(L"BTHENUM\\{0000111E-0000-1000-8000-00805F9B34FB}_VID&0001005D_PID&223B\\8&2C4D6E8F&0&"
                          L"F0A1B2C3D4E5_C00000000",
                          L"BTHENUM", L"Bluetooth",
                          {L"BTHENUM\\{0000111e-0000-1000-8000-00805f9b34fb}_VID&0001005d_PID&223b",
                           L"BTHENUM\\{0000111e-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002"},
                          L"Wireless Headset", L"Bluetooth Device"),
                   radio));

    ok = ok && AddUsbDrive(notebook, kDriveLatency);
    ok = ok && ListNetworkAdapters(notebook, {L"3", kWlanDescription, kWlanService, wlan},
                                   {L"5", kEthernetDescription, kEthernetService, ethernet});
    return ok ? 1 : 0;
}
