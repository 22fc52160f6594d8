// AirvaneSim: seeds, shows and changes the simulated notebook from the command line.
#include "sim/SimNotebook.h"

#include "devices/BtSwCodes.h"
#include "foundation/Names.h"
#include "sim/SimRegistry.h"

#include <dbt.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text, FILE* stream = stdout)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

// Prints one line of a table, without the padding its last column leaves.
void PrintRow(std::wstring row)
{
    row.erase(row.find_last_not_of(L' ') + 1);
    Print(row + L"\n");
}

std::wstring Padded(std::wstring text, size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), L' ');
    return text + L"  ";
}

struct FailureName {
    DWORD bit;
    const wchar_t* name;
};
const FailureName kFailureNames[] = {
    {simfail::kClassInstaller, L"installer"}, {simfail::kInstallParams, L"params"},
    {simfail::kStatus, L"status"},           {simfail::kHardwareId, L"hwid"},
    {simfail::kFriendlyName, L"name"},       {simfail::kDeviceDesc, L"desc"},
    {simfail::kClass, L"class"},             {simfail::kEject, L"eject"},
    {simfail::kEnable, L"enable"},
};

std::wstring StateText(const SimDevice& device)
{
    if (!device.present)
        return L"not present";
    if (device.Disabled())
        return L"disabled";
    if (device.problem != 0)
        return L"problem " + std::to_wstring(device.problem);
    return L"enabled";
}

std::wstring NotesText(const SimDevice& device)
{
    std::wstring notes;
    const auto add = [&](const std::wstring& note) { notes += (notes.empty() ? L"" : L", ") + note; };
    if (device.capabilities & DN_REMOVABLE)
        add(L"removable");
    if (!(device.capabilities & DN_DISABLEABLE))
        add(L"not disableable");
    if (device.restartOnChange)
        add(L"restart on change");
    if (device.pendingDisabled)
        add(*device.pendingDisabled ? L"restart pending (disable)" : L"restart pending (enable)");
    if (device.latencyMs != 0)
        add(L"latency " + std::to_wstring(device.latencyMs) + L" ms");
    if (device.parent != 0)
        add(L"child of " + std::to_wstring(device.parent));
    std::wstring failures;
    for (const FailureName& failure : kFailureNames) {
        if (device.failures & failure.bit)
            failures += (failures.empty() ? L"" : L"+") + std::wstring(failure.name);
    }
    if (!failures.empty())
        add(L"fails: " + failures);
    return notes;
}

// The name the device manager shows: the friendly name, else the description.
std::wstring ShownName(const SimDevice& device)
{
    return device.friendlyName && !device.friendlyName->empty() ? *device.friendlyName : device.description;
}

void ShowDevices(const CSimNotebook& notebook)
{
    Print(L"Devices\n");
    PrintRow(L"  " + Padded(L"#", 3) + Padded(L"Class", 10) + Padded(L"Enumerator", 10) + Padded(L"State", 11) +
             Padded(L"Name", 36) + Padded(L"First hardware ID", 46) + L"Notes");
    for (const SimDevice& device : notebook.Devices()) {
        const std::wstring hardwareId = device.hardwareIds.empty() ? L"" : device.hardwareIds.front();
        PrintRow(L"  " + Padded(std::to_wstring(device.number), 3) + Padded(device.className, 10) +
                 Padded(device.enumerator, 10) + Padded(StateText(device), 11) + Padded(ShownName(device), 36) +
                 Padded(hardwareId, 46) + NotesText(device));
    }
}

struct BluetoothRadio {
    bool control = false; // the control device is present
    bool on = false;      // the radio interface is present
};

BluetoothRadio FindBluetoothRadio(const CSimNotebook& notebook)
{
    BluetoothRadio radio;
    for (const SimInterface& entry : notebook.Interfaces()) {
        radio.control = radio.control || (entry.present && entry.interfaceGuid == GUID_BTSW_CONTROL);
        radio.on = radio.on || (entry.present && entry.interfaceGuid == GUID_BTSW_RADIO);
    }
    return radio;
}

void ShowServices(const CSimNotebook& notebook)
{
    constexpr size_t kLabel = 18;
    const BluetoothRadio radio = FindBluetoothRadio(notebook);
    const bool stack = simreg::Exists(HKEY_LOCAL_MACHINE, kKvrfusbEnumKey) ||
                       simreg::Exists(HKEY_LOCAL_MACHINE, kKvrfbdEnumKey);
    Print(L"\n" + Padded(L"Bluetooth radio", kLabel) +
          (!radio.control ? L"no control device" : radio.on ? L"on" : L"off") +
          (stack ? L" (stack service key present)" : L"") + L"\n");

    const SimWlanService wlan = notebook.WlanService();
    std::wstring listed;
    for (const std::wstring& description : notebook.ListedWlanInterfaces())
        listed += (listed.empty() ? L"; lists \"" : L", \"") + description + L"\"";
    Print(Padded(L"WLAN service", kLabel) +
          (!wlan.libraryPresent ? L"no library" : wlan.running ? L"running" : L"stopped") + listed + L"\n");

    std::wstring label = L"NDIS 802.11 query";
    for (const SimNdisAdapter& adapter : notebook.NdisAdapters()) {
        Print(Padded(label, kLabel) + adapter.serviceName + (adapter.answers ? L" answers" : L" refuses") + L"\n");
        label.clear();
    }
    label = L"Network cards";
    RegKey cards = simreg::Open(HKEY_LOCAL_MACHINE, kNetworkCardsKey);
    for (const std::wstring& card : cards ? simreg::SubKeys(cards.Get()) : std::vector<std::wstring>()) {
        RegKey key = simreg::Open(cards.Get(), card);
        Print(Padded(label, kLabel) + Padded(card, 3) +
              Padded(simreg::ReadString(key.Get(), kNetworkCardDescriptionValue), 34) +
              simreg::ReadString(key.Get(), kNetworkCardServiceNameValue) + L"\n");
        label.clear();
    }
}

// One line per device, and the radio: what a person watches go on and off.
int ShowBrief(const CSimNotebook& notebook)
{
    for (const SimDevice& device : notebook.Devices()) {
        PrintRow(L"  " + Padded(std::to_wstring(device.number), 2) + Padded(StateText(device), 11) + ShownName(device));
    }
    const BluetoothRadio radio = FindBluetoothRadio(notebook);
    if (radio.control)
        PrintRow(L"  " + Padded(L"", 2) + Padded(radio.on ? L"on" : L"off", 11) + L"Bluetooth radio");
    return 0;
}

int Show(const CSimNotebook& notebook)
{
    Print(L"Simulated notebook (HKLM\\" + CSimNotebook::RootPath() + L")\n\n");
    ShowDevices(notebook);
    ShowServices(notebook);
    return 0;
}

// Sent to every top-level window (hidden and disabled ones too) as the system
// sends its device and power broadcasts; a window that hangs is skipped.
void BroadcastToWindows(UINT message, WPARAM wParam)
{
    constexpr UINT kHungWindowMs = 2000;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, message, wParam, 0, SMTO_ABORTIFHUNG, kHungWindowMs, &result);
}

// Windows tells every top-level window that the device tree changed.
void BroadcastDeviceTreeChange()
{
    BroadcastToWindows(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
}

int SetDevice(CSimNotebook& notebook, const std::wstring& which, const std::wstring& state)
{
    const DWORD number = notebook.FindDevice(which);
    if (number == 0) {
        Print(L"AirvaneSim: no device " + which + L"\n", stderr);
        return 1;
    }
    int done = 0;
    if (state == L"enabled")
        done = notebook.SetDisabled(number, false, false);
    else if (state == L"disabled")
        done = notebook.SetDisabled(number, false, true); // as the device manager disables
    else if (state == L"present" || state == L"absent")
        done = notebook.SetPresent(number, state == L"present");
    else
        return 2;
    if (!done)
        return 1;
    BroadcastDeviceTreeChange();
    return 0;
}

// The radio's interface comes or goes at once, as a driver switches it.
int SetRadio(CSimNotebook& notebook, bool on)
{
    if (!notebook.ScheduleInterfaces(GUID_BTSW_RADIO, on, 0))
        return 1;
    BroadcastDeviceTreeChange();
    return 0;
}

// What Windows sends every top-level window after a resume from sleep or hibernation.
int Resume()
{
    BroadcastToWindows(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    return 0;
}

bool IsNumber(const std::wstring& text);

// "set <device> latency <milliseconds>" and "set <device> restart on|off".
int SetDeviceProperty(CSimNotebook& notebook, const std::wstring& which, const std::wstring& property,
                      const std::wstring& value)
{
    const DWORD number = notebook.FindDevice(which);
    if (number == 0) {
        Print(L"AirvaneSim: no device " + which + L"\n", stderr);
        return 1;
    }
    if (property == L"latency" && IsNumber(value))
        return notebook.SetLatency(number, std::wcstoul(value.c_str(), nullptr, 10)) ? 0 : 1;
    if (property == L"restart" && (value == L"on" || value == L"off"))
        return notebook.SetRestartOnChange(number, value == L"on") ? 0 : 1;
    return 2;
}

// One line per switch the class installer received: device, enable or disable, outcome.
int ShowLog(const CSimNotebook& notebook)
{
    for (const SimInstallerCall& call : notebook.InstallerCalls()) {
        Print(std::to_wstring(call.device) + (call.enable ? L" enable " : L" disable ") + call.outcome +
              (call.quiet ? L"" : L" (not quiet)") + L"\n");
    }
    return 0;
}

int SetFailures(CSimNotebook& notebook, const std::wstring& which, const std::wstring& list)
{
    const DWORD number = notebook.FindDevice(which);
    if (number == 0)
        return 1;
    DWORD failures = 0;
    for (size_t start = 0; list != L"none" && start <= list.size();) {
        const size_t end = std::min(list.find(L',', start), list.size());
        const std::wstring name = list.substr(start, end - start);
        bool known = false;
        for (const FailureName& failure : kFailureNames) {
            if (name == failure.name) {
                failures |= failure.bit;
                known = true;
            }
        }
        if (!known)
            return 2;
        start = end + 1;
    }
    return notebook.SetFailures(number, failures) ? 0 : 1;
}

bool IsNumber(const std::wstring& text)
{
    return !text.empty() && text.size() <= 9 && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

int Usage()
{
    Print(L"usage: AirvaneSim seed demo|modern | show | clear | restart | log | log clear\n"
          L"       AirvaneSim set <device> enabled|disabled|present|absent\n"
          L"       AirvaneSim set <device> latency <milliseconds> | set <device> restart on|off\n"
          L"       AirvaneSim fail <device> none|<installer,params,status,hwid,name,desc,class,eject,enable>\n"
          L"       AirvaneSim show brief\n"
          L"       AirvaneSim bluetooth on|off | bluetooth delay <milliseconds>\n"
          L"       AirvaneSim wlan running|stopped\n"
          L"       AirvaneSim resume   (the broadcast of a resume from sleep)\n"
          L"A device is named by its number in 'show' or its instance ID.\n",
          stderr);
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    CSimNotebook notebook;
    if (!notebook.IsOpen()) {
        Print(L"AirvaneSim: cannot open HKLM\\" + CSimNotebook::RootPath() + L"\n", stderr);
        return 1;
    }
    int result = 2;
    if (args.size() == 2 && args[0] == L"seed" && args[1] == L"demo")
        result = SeedDemoNotebook(notebook) ? 0 : 1;
    else if (args.size() == 2 && args[0] == L"seed" && args[1] == L"modern")
        result = SeedModernNotebook(notebook) ? 0 : 1;
    else if (args.size() == 1 && args[0] == L"restart")
        result = notebook.Restart() ? 0 : 1;
    else if (args.size() == 1 && args[0] == L"log")
        result = ShowLog(notebook);
    else if (args.size() == 2 && args[0] == L"log" && args[1] == L"clear")
        result = notebook.ClearInstallerCalls() ? 0 : 1;
    else if (args.size() == 4 && args[0] == L"set")
        result = SetDeviceProperty(notebook, args[1], args[2], args[3]);
    else if (args.size() == 1 && args[0] == L"show")
        result = Show(notebook);
    else if (args.size() == 2 && args[0] == L"show" && args[1] == L"brief")
        result = ShowBrief(notebook);
    else if (args.size() == 1 && args[0] == L"clear")
        result = notebook.Clear() ? 0 : 1;
    else if (args.size() == 3 && args[0] == L"set")
        result = SetDevice(notebook, args[1], args[2]);
    else if (args.size() == 3 && args[0] == L"fail")
        result = SetFailures(notebook, args[1], args[2]);
    else if (args.size() == 2 && args[0] == L"bluetooth" && (args[1] == L"on" || args[1] == L"off"))
        result = SetRadio(notebook, args[1] == L"on");
    else if (args.size() == 1 && args[0] == L"resume")
        result = Resume();
    else if (args.size() == 3 && args[0] == L"bluetooth" && args[1] == L"delay" && IsNumber(args[2]))
        result = notebook.SetBluetoothSwitch(std::wcstoul(args[2].c_str(), nullptr, 10),
                                             notebook.BluetoothRefusesSwitch()) ? 0 : 1;
    else if (args.size() == 2 && args[0] == L"wlan" && (args[1] == L"running" || args[1] == L"stopped"))
        result = notebook.SetWlanService({notebook.WlanService().libraryPresent, args[1] == L"running"}) ? 0 : 1;
    return result == 2 ? Usage() : result;
}
