// Figure 1: one request exchange with the running service, against two floors
// measured in the same run: a cross-process round trip of two named events, and
// a minimal client and server doing only the protocol's steps.
#include "bench/BenchClock.h"
#include "bench/BenchFigures.h"
#include "bench/BenchPrograms.h"
#include "devices/DeviceControl.h"
#include "foundation/Handle.h"
#include "foundation/Names.h"
#include "service/ipc/RequestClient.h"
#include "service/ipc/TaloRequest.h"

#include <cstring>
#include <string>

namespace {

constexpr DWORD kPeerWaitMs = 10000;
constexpr wchar_t kSwitchedClass[] = L"Ports";
constexpr wchar_t kSwitchedHwId[] = L"USB\\VID_1E0E&PID_9001&MI_01"; // the demo modem's application port

std::wstring ObjectName(const wchar_t* role)
{
    return L"Global\\AirvaneBench." + std::wstring(role) + L"." + std::to_wstring(GetCurrentProcessId());
}

int WarmUps(int count)
{
    return count / 10 + 20;
}

// Times count exchanges after the warm-up; false as soon as one fails.
template <typename Exchange>
bool TimeExchanges(int count, Samples& samples, double& perSecond, Exchange&& exchange)
{
    for (int i = 0; i < WarmUps(count); ++i) {
        if (!exchange(i))
            return false;
    }
    const Stopwatch total;
    for (int i = 0; i < count; ++i) {
        const Stopwatch one;
        if (!exchange(i))
            return false;
        samples.Add(one.Microseconds());
    }
    perSecond = count / (total.Microseconds() / 1e6);
    return true;
}

KernelHandle NamedEvent(const std::wstring& name, BOOL manualReset)
{
    return KernelHandle(CreateEventW(nullptr, manualReset, FALSE, name.c_str()));
}

// One copy as a client makes it: open the mapping, map it whole, copy, unmap, close.
bool CopyThroughNewView(const std::wstring& mappingName, void* buffer, bool write)
{
    const DWORD access = write ? FILE_MAP_ALL_ACCESS : FILE_MAP_READ;
    const KernelHandle mapping(OpenFileMappingW(access, FALSE, mappingName.c_str()));
    if (!mapping)
        return false;
    const MappedView view(MapViewOfFile(mapping.Get(), access, 0, 0, 0));
    if (!view)
        return false;
    if (write)
        std::memcpy(view.Get(), buffer, kRequestBlockSize);
    else
        std::memcpy(buffer, view.Get(), kRequestBlockSize);
    return true;
}

// The peer of the event floor: answers each ping with a pong.
int EventPeer(const std::wstring& ping, const std::wstring& pong, int rounds)
{
    const KernelHandle in = NamedEvent(ping, FALSE);
    const KernelHandle out = NamedEvent(pong, FALSE);
    for (int i = 0; i < rounds; ++i) {
        if (WaitForSingleObject(in.Get(), kPeerWaitMs) != WAIT_OBJECT_0)
            return 1;
        SetEvent(out.Get());
    }
    return 0;
}

// The peer of the protocol floor: a server that owns the block and answers each
// request with copies through views of their own, like a client's.
int ProtocolPeer(const std::wstring& mappingName, const std::wstring& requestName, const std::wstring& doneName,
                 const std::wstring& readyName, int rounds)
{
    const KernelHandle mapping(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRequestBlockSize, mappingName.c_str()));
    const KernelHandle request = NamedEvent(requestName, TRUE);
    const KernelHandle done = NamedEvent(doneName, TRUE);
    const KernelHandle ready = NamedEvent(readyName, FALSE);
    if (!mapping || !request || !done || !ready)
        return 1;
    SetEvent(ready.Get());
    TALO_REQUEST block;
    for (int i = 0; i < rounds; ++i) {
        if (WaitForSingleObject(request.Get(), kPeerWaitMs) != WAIT_OBJECT_0 ||
            !CopyThroughNewView(mappingName, &block, false))
            return 1;
        block.Result = 0;
        if (!CopyThroughNewView(mappingName, &block, true))
            return 1;
        ResetEvent(request.Get());
        SetEvent(done.Get());
    }
    return 0;
}

StartedProgram StartPeer(const std::wstring& arguments)
{
    return StartedProgram(BenchProgram(L"AirvaneBench.exe"), L"--peer " + arguments);
}

bool MeasureEventFloor(int count, Samples& samples, double& perSecond)
{
    const std::wstring ping = ObjectName(L"Ping");
    const std::wstring pong = ObjectName(L"Pong");
    const KernelHandle out = NamedEvent(ping, FALSE);
    const KernelHandle in = NamedEvent(pong, FALSE);
    StartedProgram peer = StartPeer(L"events " + ping + L" " + pong + L" " + std::to_wstring(count + WarmUps(count)));
    if (!out || !in || !peer.Started())
        return false;
    const bool timed = TimeExchanges(count, samples, perSecond, [&](int) {
        SetEvent(out.Get());
        return WaitForSingleObject(in.Get(), kPeerWaitMs) == WAIT_OBJECT_0;
    });
    DWORD exitCode = 1;
    return timed && peer.Wait(kPeerWaitMs, &exitCode) && exitCode == 0;
}

bool MeasureProtocolFloor(int count, Samples& samples, double& perSecond, std::string& why)
{
    const std::wstring mapping = ObjectName(L"Block");
    const std::wstring requestName = ObjectName(L"Request");
    const std::wstring doneName = ObjectName(L"Done");
    const std::wstring readyName = ObjectName(L"Ready");
    const KernelHandle request = NamedEvent(requestName, TRUE);
    const KernelHandle done = NamedEvent(doneName, TRUE);
    const KernelHandle ready = NamedEvent(readyName, FALSE);
    StartedProgram peer = StartPeer(L"protocol " + mapping + L" " + requestName + L" " + doneName + L" " +
                                    readyName + L" " + std::to_wstring(count + WarmUps(count)));
    if (!request || !done || !ready || !peer.Started() ||
        WaitForSingleObject(ready.Get(), kPeerWaitMs) != WAIT_OBJECT_0) {
        why = "its peer did not start";
        return false;
    }
    // The peer ends with its last reply; this handle keeps the block for that
    // reply's copy. The copies themselves open and close the block as clients do.
    const KernelHandle keepBlock(OpenFileMappingW(FILE_MAP_READ, FALSE, mapping.c_str()));
    TALO_REQUEST block = {};
    int exchanges = 0;
    const auto exchange = [&](int i) -> const char* {
        block.Code = REQ_SET_DWORD;
        block.Body.Registry.Data.Number = static_cast<DWORD>(i);
        block.Result = -1;
        if (!CopyThroughNewView(mapping, &block, true))
            return "writing failed";
        SetEvent(request.Get());
        if (WaitForSingleObject(done.Get(), kPeerWaitMs) != WAIT_OBJECT_0)
            return "no reply";
        ResetEvent(done.Get());
        if (!CopyThroughNewView(mapping, &block, false))
            return "reading failed";
        return block.Result == 0 ? nullptr : "the reply was not the peer's";
    };
    const bool timed = TimeExchanges(count, samples, perSecond, [&](int i) {
        ++exchanges;
        const char* failure = exchange(i);
        if (failure)
            why = std::string(failure) + " at exchange " + std::to_string(exchanges);
        return failure == nullptr;
    });
    DWORD exitCode = 1;
    if (timed && !(peer.Wait(kPeerWaitMs, &exitCode) && exitCode == 0))
        why = "its peer ended with " + std::to_string(exitCode);
    return why.empty();
}

// The device operation of RequestEnableDevice alone, in this process: what the
// service must do for it whatever the channel costs.
bool MeasureSwitchAlone(int count, Samples& samples, double& perSecond)
{
    return TimeExchanges(count, samples, perSecond, [](int) {
        int state = 1;
        int restartNeeded = 0;
        return DeviceCtlByHwId(1, &state, kSwitchedClass, kSwitchedHwId, &restartNeeded) != 0;
    });
}

std::string Rate(double perSecond)
{
    return Number(perSecond, 0) + " /s";
}

BenchRow ExchangeRow(const std::string& figure, const Samples& samples, double perSecond, double floor, double limit)
{
    BenchRow row;
    row.figure = figure;
    if (samples.Empty()) {
        row.verdict = limit > 0 ? BenchRow::Goal::Unknown : BenchRow::Goal::None;
        return row;
    }
    row.median = Duration(samples.Median());
    row.spread = "p99 " + Duration(samples.Percentile(99)) + ", " + Rate(perSecond);
    if (floor > 0) {
        row.floor = Duration(floor);
        row.ratio = samples.Median() / floor;
    }
    if (limit > 0) {
        row.goal = "≤ " + Number(limit, 1) + " ×";
        row.verdict = AtMost(row.ratio, limit);
    }
    return row;
}

} // namespace

int RunPeer(const std::vector<std::wstring>& arguments)
{
    if (arguments.size() == 4 && arguments[0] == L"events")
        return EventPeer(arguments[1], arguments[2], _wtoi(arguments[3].c_str()));
    if (arguments.size() == 6 && arguments[0] == L"protocol")
        return ProtocolPeer(arguments[1], arguments[2], arguments[3], arguments[4], _wtoi(arguments[5].c_str()));
    return 2;
}

void RunExchangeFigures(const BenchPlan& plan, BenchFloors& floors, BenchTable& table)
{
    const int count = plan.exchanges();
    Samples events, protocol, setDWord, enable;
    double eventsRate = 0, protocolRate = 0, setDWordRate = 0, enableRate = 0;
    if (!MeasureEventFloor(count, events, eventsRate))
        table.Note("1: the event round trip could not be measured.");
    std::string why;
    if (!MeasureProtocolFloor(count, protocol, protocolRate, why))
        table.Note("1: the minimal protocol program could not be measured: " + why + ".");
    floors.eventRoundTrip = events.Empty() ? 0 : events.Median();
    floors.protocolExchange = protocol.Empty() ? 0 : protocol.Median();

    if (!TimeExchanges(count, setDWord, setDWordRate, [](int i) {
            return RequestSetDWord(kCompanionFlagKey, kCompanionFlagValue, static_cast<DWORD>(i & 1));
        }))
        table.Note("1: RequestSetDWord failed: is the service running?");
    if (!TimeExchanges(count, enable, enableRate,
                       [](int) { return RequestEnableDevice(kSwitchedClass, kSwitchedHwId) == 0; }))
        table.Note("1: RequestEnableDevice failed: is the service running on the demo notebook?");
    Samples switchAlone;
    double switchRate = 0;
    if (!MeasureSwitchAlone(count, switchAlone, switchRate))
        table.Note("1: the switch could not be measured in this process.");
    const double enableFloor = !protocol.Empty() && !switchAlone.Empty()
                                   ? floors.protocolExchange + switchAlone.Median()
                                   : 0;

    table.Add(ExchangeRow("1  exchange: RequestSetDWord", setDWord, setDWordRate, floors.protocolExchange, 1.1));
    table.Add(ExchangeRow("1  exchange: RequestEnableDevice", enable, enableRate, floors.protocolExchange, 1.1));
    table.Add(ExchangeRow("1  RequestEnableDevice against its switch", enable, enableRate, enableFloor, 1.1));
    table.Add(ExchangeRow("   floor: minimal protocol program", protocol, protocolRate, floors.eventRoundTrip, 0));
    table.Add(ExchangeRow("   floor: round trip of two events", events, eventsRate, 0, 0));
    table.Add(ExchangeRow("   the switch alone, in-process", switchAlone, switchRate, 0, 0));
    table.Note("1: " + std::to_string(count) + " exchanges each after " + std::to_string(WarmUps(count)) +
               " to warm up; the floor of the exchanges is the minimal protocol program, whose own ratio is to "
               "the event round trip. RequestEnableDevice does the device installer's work besides: its second "
               "row's floor is the minimal protocol program plus that switch (DeviceCtlByHwId on the simulated "
               "notebook) timed in this process.");
}
