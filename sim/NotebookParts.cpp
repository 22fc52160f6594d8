#include "sim/NotebookParts.h"

namespace simparts {

bool AddUmtsModem(CSimNotebook& notebook, DWORD latencyMs)
{
    return notebook.AddDevice(WithLatency(Device(L"USB\\VID_1E0E&PID_9001\\5&3A1F0C2D&0&1", L"USB", L"USB",
                                                 {L"USB\\VID_1E0E&PID_9001&REV_0232", L"USB\\VID_1E0E&PID_9001"},
                                                 nullptr, L"USB Composite Device"),
                                          latencyMs)) &&
           notebook.AddDevice(WithLatency(Device(L"USB\\VID_1E0E&PID_9001&MI_01\\6&1B2C3D4E&0&0001", L"USB",
                                                 L"Ports", {L"USB\\VID_1E0E&PID_9001&MI_01"},
                                                 L"HSPA Application Interface (COM4)", L"HSPA Application Interface"),
                                          latencyMs)) &&
           notebook.AddDevice(WithLatency(Device(L"USB\\VID_1E0E&PID_9001&MI_02\\6&1B2C3D4E&0&0002", L"USB",
                                                 L"Modem", {L"USB\\VID_1E0E&PID_9001&MI_02"}, L"HSPA Modem",
                                                 L"HSPA Modem"),
                                          latencyMs));
}

bool AddUsbDrive(CSimNotebook& notebook, DWORD latencyMs)
{
    SimDevice drive = WithLatency(Device(L"USBSTOR\\CDROM&VEN_GENERIC&PROD_DVD-RW_DRIVE&REV_1.00\\7&2A3B4C5D&0",
                                         L"USBSTOR", L"CDROM",
                                         {L"USBSTOR\\CdRomGeneric_DVD-RW_Drive_1.00", L"GenCdRom"}, nullptr,
                                         L"Generic DVD-RW USB Device"),
                                  latencyMs);
    drive.capabilities = DN_DISABLEABLE | DN_REMOVABLE;
    return notebook.AddDevice(drive) != 0;
}

bool ListNetworkAdapters(CSimNotebook& notebook, const NetworkAdapter& wlan, const NetworkAdapter& ethernet)
{
    return notebook.AddNetworkCard(wlan.cardKey, wlan.description, wlan.service) &&
           notebook.AddNetworkCard(ethernet.cardKey, ethernet.description, ethernet.service) &&
           notebook.SetWlanService(SimWlanService()) && notebook.AddWlanInterface({wlan.description, wlan.device}) &&
           notebook.AddNdisAdapter({wlan.service, true, wlan.device}) &&
           notebook.AddNdisAdapter({ethernet.service, false, ethernet.device});
}

} // namespace simparts
