#include "devices/DeviceControl.h"
#include "devices/DeviceSnapshot.h"

#include "tests/support/FakeDeviceApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Op = FakeDeviceApi::Op;

constexpr GUID kNetA = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr GUID kNetB = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x19}};

GUID NumberedGuid(unsigned long n)
{
    return {0x10000000 + n, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
}

enum class Kind { Enabled, Disabled, Problem28, Absent, HasProblemBitOnly, Problem22Only };

FakeDeviceApi::Device MakeDevice(const GUID& guid, std::vector<std::wstring> ids, Kind kind = Kind::Enabled)
{
    FakeDeviceApi::Device device;
    device.classGuid = guid;
    device.hardwareIds = std::move(ids);
    switch (kind) {
    case Kind::Enabled:
        break;
    case Kind::Disabled:
        device.status = DN_HAS_PROBLEM | DN_DISABLEABLE;
        device.problem = CM_PROB_DISABLED;
        break;
    case Kind::Problem28:
        device.status = DN_HAS_PROBLEM | DN_DISABLEABLE;
        device.problem = CM_PROB_FAILED_INSTALL;
        break;
    case Kind::Absent:
        device.present = false;
        break;
    case Kind::HasProblemBitOnly:
        device.status = DN_HAS_PROBLEM;
        break;
    case Kind::Problem22Only:
        device.status = DN_STARTED;
        device.problem = CM_PROB_DISABLED;
        break;
    }
    return device;
}

class DeviceControlTest : public testing::Test {
protected:
    DeviceControlTest() { fake.AddClass(L"Net", kNetA); }

    // Every operation releases every set it built, whatever the path it took.
    void TearDown() override { EXPECT_EQ(0u, fake.OpenSets()); }

    int QueryClass(const wchar_t* className = L"Net")
    {
        int state = 42;
        EXPECT_EQ(1, DeviceCtlByClass(className, 0, &state, nullptr));
        return state;
    }

    int QueryHwId(const wchar_t* prefix, const wchar_t* className = L"Net")
    {
        int state = 42;
        EXPECT_EQ(1, DeviceCtlByHwId(0, &state, className, prefix, nullptr));
        return state;
    }

    int SwitchClass(int enable, int* restart = nullptr)
    {
        return DeviceCtlByClass(L"Net", 1, &enable, restart);
    }

    int SwitchHwId(const wchar_t* prefix, int enable, int* restart = nullptr)
    {
        return DeviceCtlByHwId(1, &enable, L"Net", prefix, restart);
    }

    // The devices the class installer was called for, in order.
    std::vector<int> InstallerDevices() const
    {
        std::vector<int> devices;
        for (const FakeDeviceApi::Call& call : fake.CallsOf(Op::CallInstaller))
            devices.push_back(call.device);
        return devices;
    }

    FakeDeviceApi fake;
    ScopedDeviceApi scope{fake};
};

TEST_F(DeviceControlTest, UnknownClassMatchesNothing)
{
    fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_1"}));
    EXPECT_EQ(DEVSTAT_NONE, QueryClass(L"Bluetooth"));
    EXPECT_EQ(DEVSTAT_NONE, QueryHwId(L"PCI", L"Bluetooth"));
    int enable = 0;
    EXPECT_EQ(1, DeviceCtlByClass(L"Bluetooth", 1, &enable, nullptr));
    EXPECT_EQ(1, DeviceCtlByHwId(1, &enable, L"Bluetooth", L"PCI", nullptr));
    EXPECT_TRUE(fake.CallsOf(Op::GetClassDevs).empty());
    EXPECT_FALSE(fake.IsDisabled(0));
}

TEST_F(DeviceControlTest, ClassNameWithTwoGuidsVisitsTheFirstGuidsDevicesFirst)
{
    fake.AddClass(L"Net", kNetB);
    const int onB = fake.AddDevice(MakeDevice(kNetB, {L"PCI\\VEN_2"}));
    const int onA = fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_1"}));
    fake.devices[onA].description = L"first GUID";
    fake.devices[onB].description = L"second GUID";

    EXPECT_EQ(1, SwitchClass(0));
    EXPECT_EQ((std::vector<int>{onA, onB}), InstallerDevices());
    EXPECT_EQ(DEVSTAT_DISABLED, QueryClass());

    wchar_t name[kDevicePropertyChars] = L"";
    int state = 0;
    EXPECT_EQ(1, DeviceCtlByHwId(0, &state, L"Net", L"PCI\\VEN_", nullptr, name, ARRAYSIZE(name)));
    EXPECT_STREQ(L"second GUID", name);
}

TEST_F(DeviceControlTest, AggregatesTheStateOfEveryReadableDevice)
{
    struct Case {
        std::vector<Kind> devices;
        int expected;
    };
    const Case cases[] = {
        {{}, DEVSTAT_NONE},
        {{Kind::Enabled}, DEVSTAT_ENABLED},
        {{Kind::Disabled}, DEVSTAT_DISABLED},
        {{Kind::Enabled, Kind::Disabled}, DEVSTAT_MIXED},
        {{Kind::Disabled, Kind::Enabled}, DEVSTAT_MIXED},
        {{Kind::Disabled, Kind::Enabled, Kind::Disabled}, DEVSTAT_MIXED},
        {{Kind::Disabled, Kind::Disabled}, DEVSTAT_DISABLED},
        {{Kind::Problem28}, DEVSTAT_ENABLED},
        {{Kind::Problem28, Kind::Disabled}, DEVSTAT_MIXED},
        {{Kind::HasProblemBitOnly}, DEVSTAT_ENABLED},
        {{Kind::Problem22Only}, DEVSTAT_ENABLED},
        {{Kind::Absent}, DEVSTAT_NONE},
        {{Kind::Absent, Kind::Disabled}, DEVSTAT_DISABLED},
    };
    for (size_t i = 0; i < ARRAYSIZE(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        fake.devices.clear();
        for (Kind kind : cases[i].devices)
            fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_1"}, kind));
        EXPECT_EQ(cases[i].expected, QueryClass());
        EXPECT_EQ(cases[i].expected, QueryHwId(L"PCI\\VEN_1"));
    }
}

TEST_F(DeviceControlTest, DeviceWhoseStatusCannotBeReadDoesNotCount)
{
    fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_1"}, Kind::Disabled));
    fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_1"}, Kind::Enabled));
    fake.Fail(Op::DevNodeStatus).OnDevice(0);
    EXPECT_EQ(DEVSTAT_ENABLED, QueryClass());
}

TEST_F(DeviceControlTest, KnownButAbsentDeviceIsStillSwitched)
{
    const int absent = fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_1"}, Kind::Absent));
    EXPECT_EQ(DEVSTAT_NONE, QueryHwId(L"PCI\\VEN_1"));
    EXPECT_EQ(1, SwitchHwId(L"PCI\\VEN_1", 0));
    EXPECT_EQ(std::vector<int>{absent}, InstallerDevices());

    fake.Fail(Op::CallInstaller).OnDevice(absent).WithError(ERROR_NO_SUCH_DEVINST);
    EXPECT_EQ(0, SwitchHwId(L"PCI\\VEN_1", 0));
    EXPECT_EQ(0, SwitchClass(1));
}

TEST_F(DeviceControlTest, PrefixMatchesTheStartOfAnyHardwareIdInAnyLetterCase)
{
    struct Case {
        const wchar_t* prefix;
        std::vector<std::wstring> ids;
        bool matches;
    };
    const Case cases[] = {
        {L"PCI\\VEN_168C", {L"PCI\\VEN_10EC&DEV_8168", L"pci\\ven_168c&dev_001c"}, true},
        {L"pci\\ven_168c&DEV_002B", {L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA"}, true},
        {L"PCI\\VEN_168C&DEV_002B&SUBSYS_30A117AA&REV_01", {L"PCI\\VEN_168C&DEV_002B"}, false},
        {L"PCI\\VEN_168C", {L"PCI\\VEN_10EC", L"PCI\\VEN_168"}, false},
        {L"PCI\\VEN_168C", {L"ACPI\\PCI\\VEN_168C"}, false},
        {L"", {L"ANY\\DEVICE"}, true},
        {L"", {}, false},
    };
    for (size_t i = 0; i < ARRAYSIZE(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        fake.devices.clear();
        fake.AddDevice(MakeDevice(kNetA, cases[i].ids));
        EXPECT_EQ(cases[i].matches ? DEVSTAT_ENABLED : DEVSTAT_NONE, QueryHwId(cases[i].prefix));
    }
}

TEST_F(DeviceControlTest, DeviceWhoseHardwareIdsCannotBeReadDoesNotMatch)
{
    fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_1"}, Kind::Disabled));
    fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_1"}, Kind::Enabled));
    fake.Fail(Op::Property).OnDevice(0).WithDetail(SPDRP_HARDWAREID);
    EXPECT_EQ(DEVSTAT_ENABLED, QueryHwId(L"PCI\\VEN_1"));
    EXPECT_EQ(1, SwitchHwId(L"PCI\\VEN_1", 0));
    EXPECT_EQ(std::vector<int>{1}, InstallerDevices());
}

TEST_F(DeviceControlTest, PropertiesAreReadThroughTheirFixedBuffer)
{
    // A list of 510 characters with its two terminators fills the 1024 bytes exactly.
    const std::wstring fits(510, L'A');
    const std::wstring tooLong(511, L'B');
    fake.AddDevice(MakeDevice(kNetA, {fits}));
    fake.AddDevice(MakeDevice(kNetA, {tooLong}));
    EXPECT_EQ(DEVSTAT_ENABLED, QueryHwId(fits.c_str()));
    EXPECT_EQ(DEVSTAT_NONE, QueryHwId(L"B"));
    for (const FakeDeviceApi::Call& call : fake.CallsOf(Op::Property))
        EXPECT_EQ(1024u, call.extra);
}

TEST_F(DeviceControlTest, OversizePrefixMatchesNothing)
{
    fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_1"}));
    const std::wstring prefix(600, L'P');
    EXPECT_EQ(DEVSTAT_NONE, QueryHwId(prefix.c_str()));
    EXPECT_EQ(1, SwitchHwId(prefix.c_str(), 0));
    EXPECT_FALSE(fake.IsDisabled(0));
    EXPECT_EQ(DEVSTAT_NONE, QueryHwId(std::wstring(512, L'P').c_str()));
}

TEST_F(DeviceControlTest, ReportsTheNameOfTheLastMatchingDevice)
{
    struct Case {
        std::optional<std::wstring> friendlyName;
        std::optional<std::wstring> description;
        size_t capacity;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {std::wstring(L"HSPA Modem"), std::wstring(L"Modem"), 64, L"HSPA Modem"},
        {std::wstring(L""), std::wstring(L"802.11n Adapter"), 64, L"802.11n Adapter"},
        {std::nullopt, std::wstring(L"802.11n Adapter"), 64, L"802.11n Adapter"},
        {std::nullopt, std::nullopt, 64, L"(untouched)"},
        // A name that does not fit the caller's buffer is not reported.
        {std::wstring(L"A rather long friendly name"), std::wstring(L"Short"), 10, L"Short"},
        {std::wstring(L"A rather long friendly name"), std::wstring(L"Long description"), 10, L"(untouched)"},
        {std::wstring(L"Exactly9!"), std::wstring(L"Short"), 10, L"Exactly9!"},
    };
    for (size_t i = 0; i < ARRAYSIZE(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        fake.devices.clear();
        FakeDeviceApi::Device device = MakeDevice(kNetA, {L"USB\\VID_1"});
        device.friendlyName = cases[i].friendlyName;
        device.description = cases[i].description;
        fake.AddDevice(device);
        wchar_t name[64] = L"(untouched)";
        int state = 0;
        EXPECT_EQ(1, DeviceCtlByHwId(0, &state, L"Net", L"USB\\VID_1", nullptr, name, cases[i].capacity));
        EXPECT_STREQ(cases[i].expected, name);
        EXPECT_EQ(DEVSTAT_ENABLED, state);
    }

    fake.devices.clear();
    FakeDeviceApi::Device first = MakeDevice(kNetA, {L"USB\\VID_1&MI_00"});
    first.friendlyName = L"earlier";
    FakeDeviceApi::Device second = MakeDevice(kNetA, {L"USB\\VID_1&MI_01"});
    second.friendlyName = L"later";
    FakeDeviceApi::Device other = MakeDevice(kNetA, {L"PCI\\VEN_1"});
    other.friendlyName = L"not matching";
    fake.AddDevice(first);
    fake.AddDevice(second);
    fake.AddDevice(other);
    wchar_t name[kDevicePropertyChars] = L"";
    int state = 1;
    EXPECT_EQ(1, DeviceCtlByHwId(1, &state, L"Net", L"USB\\VID_1", nullptr, name, ARRAYSIZE(name)));
    EXPECT_STREQ(L"later", name);
}

TEST_F(DeviceControlTest, GuidBufferGrowsOnceToTheCountAskedFor)
{
    for (unsigned long n = 0; n < 12; ++n)
        fake.AddClass(L"Many", NumberedGuid(n));
    fake.AddDevice(MakeDevice(NumberedGuid(11), {L"X"}, Kind::Disabled));

    int state = 0;
    EXPECT_EQ(1, DeviceCtlByClass(L"Many", 0, &state, nullptr));
    EXPECT_EQ(DEVSTAT_DISABLED, state);
    const std::vector<FakeDeviceApi::Call> lookups = fake.CallsOf(Op::ClassGuids);
    ASSERT_EQ(2u, lookups.size());
    EXPECT_EQ(10u, lookups[0].detail);
    EXPECT_EQ(12u, lookups[1].detail);
    EXPECT_EQ(12u, fake.CallsOf(Op::GetClassDevs).size());

    fake.calls.clear();
    fake.AddClass(L"Ten", NumberedGuid(0));
    for (unsigned long n = 1; n < 10; ++n)
        fake.AddClass(L"Ten", NumberedGuid(n));
    EXPECT_EQ(1, DeviceCtlByClass(L"Ten", 0, &state, nullptr));
    EXPECT_EQ(1u, fake.CallsOf(Op::ClassGuids).size());
}

TEST_F(DeviceControlTest, ClassThatCannotBeResolvedEndsTheOperation)
{
    for (unsigned long n = 0; n < 11; ++n)
        fake.AddClass(L"Wide", NumberedGuid(n));
    fake.AddDevice(MakeDevice(NumberedGuid(0), {L"X"}));
    fake.AddDevice(MakeDevice(kNetA, {L"X"}));
    wchar_t hwId[kDevicePropertyChars] = L"";

    fake.Fail(Op::ClassGuids).OnlyCall(2); // the retry with the grown buffer
    int state = 0;
    EXPECT_EQ(1, DeviceCtlByClass(L"Wide", 0, &state, nullptr));
    EXPECT_EQ(DEVSTAT_NONE, state);

    fake.Fail(Op::ClassGuids).WithError(ERROR_INVALID_CLASS);
    EXPECT_EQ(DEVSTAT_NONE, QueryClass());
    int enable = 0;
    EXPECT_EQ(1, DeviceCtlByClass(L"Net", 1, &enable, nullptr));
    EXPECT_EQ(1, DeviceCtlByHwId(1, &enable, L"Net", L"X", nullptr));
    EXPECT_EQ(0, GetHwIdFromDesc(L"", L"Net", hwId, ARRAYSIZE(hwId)));
    EXPECT_TRUE(fake.CallsOf(Op::GetClassDevs).empty());
    EXPECT_FALSE(fake.IsDisabled(1));
}

TEST_F(DeviceControlTest, ClassWhoseDeviceSetFailsIsSkipped)
{
    fake.AddClass(L"Net", kNetB);
    fake.AddDevice(MakeDevice(kNetA, {L"X"}, Kind::Disabled));
    fake.AddDevice(MakeDevice(kNetB, {L"X"}, Kind::Enabled));

    fake.Fail(Op::GetClassDevs).OnlyCall(1);
    EXPECT_EQ(DEVSTAT_ENABLED, QueryClass());

    fake.Fail(Op::ListDetail).OnlyCall(1);
    EXPECT_EQ(DEVSTAT_ENABLED, QueryClass());
    EXPECT_EQ(DEVSTAT_MIXED, QueryClass());
}

TEST_F(DeviceControlTest, EnableIsGlobalThenConfigSpecificAndDisableConfigSpecificOnly)
{
    const int device = fake.AddDevice(MakeDevice(kNetA, {L"X"}, Kind::Disabled));
    EXPECT_EQ(1, SwitchHwId(L"X", 1));
    std::vector<FakeDeviceApi::Call> params = fake.CallsOf(Op::SetParams);
    ASSERT_EQ(2u, params.size());
    EXPECT_EQ(static_cast<DWORD>(DICS_FLAG_GLOBAL), params[0].detail);
    EXPECT_EQ(static_cast<DWORD>(DICS_ENABLE), params[0].extra);
    EXPECT_EQ(static_cast<DWORD>(DICS_FLAG_CONFIGSPECIFIC), params[1].detail);
    EXPECT_EQ(static_cast<DWORD>(DICS_ENABLE), params[1].extra);
    EXPECT_EQ((std::vector<int>{device, device}), InstallerDevices());
    EXPECT_EQ(static_cast<DWORD>(DIF_PROPERTYCHANGE), fake.CallsOf(Op::CallInstaller)[0].detail);

    fake.calls.clear();
    EXPECT_EQ(1, SwitchClass(0));
    params = fake.CallsOf(Op::SetParams);
    ASSERT_EQ(1u, params.size());
    EXPECT_EQ(static_cast<DWORD>(DICS_FLAG_CONFIGSPECIFIC), params[0].detail);
    EXPECT_EQ(static_cast<DWORD>(DICS_DISABLE), params[0].extra);
    EXPECT_TRUE(fake.IsDisabled(device));
    EXPECT_EQ(DEVSTAT_DISABLED, QueryClass());
}

TEST_F(DeviceControlTest, FailingDeviceDoesNotStopTheWalk)
{
    for (int i = 0; i < 3; ++i)
        fake.AddDevice(MakeDevice(kNetA, {L"X"}));
    fake.Fail(Op::CallInstaller).OnDevice(1);
    EXPECT_EQ(0, SwitchClass(0));
    EXPECT_TRUE(fake.IsDisabled(0));
    EXPECT_FALSE(fake.IsDisabled(1));
    EXPECT_TRUE(fake.IsDisabled(2));
    EXPECT_EQ(DEVSTAT_MIXED, QueryClass());

    fake.calls.clear();
    EXPECT_EQ(1, SwitchHwId(L"X", 1)) << "device 1, which refused, is on already";
    EXPECT_EQ((std::vector<int>{0, 0, 2, 2}), InstallerDevices());
}

TEST_F(DeviceControlTest, ParametersThatCannotBeSetFailOnlyTheHardwareIdSwitch)
{
    fake.AddDevice(MakeDevice(kNetA, {L"X"}));
    fake.Fail(Op::SetParams).WithDetail(DICS_FLAG_CONFIGSPECIFIC);
    EXPECT_EQ(1, SwitchClass(0));
    EXPECT_EQ(0, SwitchHwId(L"X", 0));
    fake.devices[0] = MakeDevice(kNetA, {L"X"}, Kind::Disabled);
    EXPECT_EQ(0, SwitchHwId(L"X", 1));
    // Read once per switch to make it quiet; never for the restart flag.
    EXPECT_EQ(3u, fake.CallsOf(Op::GetInstallParams).size());

    // The global step's parameters are passed over silently; the config-specific step still runs.
    FakeDeviceApi global;
    ScopedDeviceApi scope(global);
    global.AddClass(L"Net", kNetA);
    global.AddDevice(MakeDevice(kNetA, {L"X"}, Kind::Disabled));
    global.Fail(Op::SetParams).WithDetail(DICS_FLAG_GLOBAL);
    int enable = 1;
    EXPECT_EQ(1, DeviceCtlByHwId(1, &enable, L"Net", L"X", nullptr));
    EXPECT_EQ(1u, global.CallsOf(Op::CallInstaller).size());
    EXPECT_FALSE(global.IsDisabled(0));
}

TEST_F(DeviceControlTest, GlobalEnableFailureFailsTheSwitch)
{
    fake.AddDevice(MakeDevice(kNetA, {L"X"}, Kind::Disabled));
    fake.Fail(Op::CallInstaller).OnlyCall(1);
    EXPECT_EQ(0, SwitchHwId(L"X", 1));
    EXPECT_EQ(2u, fake.CallsOf(Op::CallInstaller).size());
}

TEST_F(DeviceControlTest, RestartFlagReportsAnySwitchedDeviceThatAsksForIt)
{
    struct Case {
        std::vector<DWORD> installFlags;
        bool failRead;
        int expected;
    };
    const Case cases[] = {
        {{0, 0}, false, 0},
        {{0, DI_NEEDRESTART}, false, 1},
        {{DI_NEEDREBOOT, 0}, false, 1},
        {{DI_NEEDREBOOT}, true, 0},
    };
    for (size_t i = 0; i < ARRAYSIZE(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        FakeDeviceApi api;
        ScopedDeviceApi scope(api);
        api.AddClass(L"Net", kNetA);
        // Every device starts in the state opposite to the one it is switched to.
        const auto reset = [&](int enable) {
            api.devices.clear();
            for (DWORD flags : cases[i].installFlags) {
                FakeDeviceApi::Device device = MakeDevice(kNetA, {L"X"}, enable ? Kind::Disabled : Kind::Enabled);
                device.installFlags = flags;
                api.AddDevice(device);
            }
        };
        if (cases[i].failRead)
            api.Fail(Op::GetInstallParams);
        for (int enable = 0; enable < 2; ++enable) {
            int restart = 7;
            reset(enable);
            EXPECT_EQ(1, DeviceCtlByClass(L"Net", 1, &enable, &restart));
            EXPECT_EQ(cases[i].expected, restart);
            restart = 7;
            reset(enable);
            EXPECT_EQ(1, DeviceCtlByHwId(1, &enable, L"Net", L"X", &restart));
            EXPECT_EQ(cases[i].expected, restart);
        }
        int enable = 1;
        EXPECT_EQ(1, DeviceCtlByClass(L"Net", 1, &enable, nullptr));
    }
}

TEST_F(DeviceControlTest, DeviceAlreadyInTheWantedStateIsNotSwitchedAgain)
{
    struct Case {
        Kind kind;
        int enable;
        bool switched;
        bool settles; // in the wanted state after the switch
    };
    const Case cases[] = {
        {Kind::Enabled, 1, false, true},           {Kind::Disabled, 0, false, true},
        {Kind::Enabled, 0, true, true},            {Kind::Disabled, 1, true, true},
        {Kind::Problem28, 1, true, false},         {Kind::Problem28, 0, true, true},
        {Kind::HasProblemBitOnly, 1, true, false}, {Kind::Problem22Only, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind) << ", enable " << c.enable);
        fake.devices.clear();
        fake.calls.clear();
        fake.AddDevice(MakeDevice(kNetA, {L"X"}, c.kind));
        EXPECT_EQ(1, SwitchHwId(L"X", c.enable));
        EXPECT_EQ(c.switched, !fake.CallsOf(Op::CallInstaller).empty());
        fake.calls.clear();
        EXPECT_EQ(1, SwitchClass(c.enable));
        EXPECT_EQ(!c.settles, !fake.CallsOf(Op::CallInstaller).empty()) << "a device with a problem is switched again";
    }
}

TEST_F(DeviceControlTest, InstallIsMadeQuietBeforeTheClassInstallerRuns)
{
    FakeDeviceApi::Device device = MakeDevice(kNetA, {L"X"}, Kind::Disabled);
    device.installFlags = DI_NEEDRESTART;
    fake.AddDevice(device);
    EXPECT_EQ(1, SwitchHwId(L"X", 1));
    ASSERT_FALSE(fake.calls.empty());
    const std::vector<FakeDeviceApi::Call> quiet = fake.CallsOf(Op::SetInstallParams);
    ASSERT_EQ(1u, quiet.size());
    EXPECT_EQ(static_cast<DWORD>(DI_QUIETINSTALL | DI_NEEDRESTART), quiet[0].detail) << "other flags are kept";
    const auto first = [&](Op op) {
        for (size_t i = 0; i < fake.calls.size(); ++i) {
            if (fake.calls[i].op == op)
                return i;
        }
        return fake.calls.size();
    };
    EXPECT_LT(first(Op::SetInstallParams), first(Op::CallInstaller));

    // A device whose install parameters cannot be set is switched all the same.
    fake.devices[0] = MakeDevice(kNetA, {L"X"}, Kind::Disabled);
    fake.Fail(Op::SetInstallParams);
    EXPECT_EQ(1, SwitchHwId(L"X", 1));
    EXPECT_FALSE(fake.IsDisabled(0));
}

TEST_F(DeviceControlTest, QueryLeavesTheRestartFlagAlone)
{
    FakeDeviceApi::Device device = MakeDevice(kNetA, {L"X"});
    device.installFlags = DI_NEEDREBOOT;
    fake.AddDevice(device);
    int state = 0;
    int restart = 7;
    EXPECT_EQ(1, DeviceCtlByClass(L"Net", 0, &state, &restart));
    EXPECT_EQ(7, restart);
    EXPECT_TRUE(fake.CallsOf(Op::CallInstaller).empty());
}

// A record names the whole class without a prefix, else the devices of its prefix; an empty prefix none.
TEST_F(DeviceControlTest, RestartPendingIsAskedOfTheDevicesARecordNames)
{
    FakeDeviceApi::Device waiting = MakeDevice(kNetA, {L"PCI\\VEN_1&DEV_A"});
    waiting.status |= DN_NEED_RESTART;
    fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_2&DEV_B"}));
    fake.AddDevice(waiting);
    const struct {
        const wchar_t* className;
        const wchar_t* prefix;
        bool pending;
    } cases[] = {{L"Net", nullptr, true},   {L"Net", L"pci\\ven_1&dev_a", true}, {L"Net", L"PCI\\VEN_2", false},
                 {L"Net", L"", false},      {L"Ports", nullptr, false},           {nullptr, L"PCI", false}};
    CDeviceSnapshot snapshot;
    for (const auto& c : cases)
        EXPECT_EQ(c.pending, IsRestartPending(snapshot, c.className, c.prefix)) << (c.prefix ? c.prefix : L"-");
}

TEST_F(DeviceControlTest, HardwareIdFromDescriptionGoesOnPastUnreadableDevices)
{
    FakeDeviceApi::Device unreadable = MakeDevice(kNetA, {L"PCI\\VEN_0"});
    unreadable.description = L"802.11n Adapter";
    FakeDeviceApi::Device other = MakeDevice(kNetA, {L"PCI\\VEN_1"});
    other.description = L"Ethernet";
    FakeDeviceApi::Device wanted = MakeDevice(kNetA, {L"PCI\\VEN_2&DEV_3", L"PCI\\VEN_2"});
    wanted.description = L"802.11N ADAPTER";
    FakeDeviceApi::Device later = MakeDevice(kNetA, {L"PCI\\VEN_4"});
    later.description = L"802.11n Adapter";
    fake.AddDevice(unreadable);
    fake.AddDevice(other);
    fake.AddDevice(wanted);
    fake.AddDevice(later);
    fake.Fail(Op::Property).OnDevice(0).WithDetail(SPDRP_HARDWAREID);

    wchar_t hwId[kDevicePropertyChars] = L"";
    EXPECT_EQ(1, GetHwIdFromDesc(L"802.11n Adapter", L"Net", hwId, ARRAYSIZE(hwId)));
    EXPECT_STREQ(L"PCI\\VEN_2&DEV_3", hwId);
    EXPECT_EQ(3u, fake.CallsOf(Op::EnumDevice).size()); // stops at the device it found

    wcscpy(hwId, L"(untouched)");
    EXPECT_EQ(0, GetHwIdFromDesc(L"Modem", L"Net", hwId, ARRAYSIZE(hwId)));
    EXPECT_EQ(0, GetHwIdFromDesc(L"802.11n Adapter", L"Unknown", hwId, ARRAYSIZE(hwId)));
    EXPECT_STREQ(L"(untouched)", hwId);
}

TEST_F(DeviceControlTest, HardwareIdThatDoesNotFitTheCallersBufferIsPassedOver)
{
    FakeDeviceApi::Device wide = MakeDevice(kNetA, {L"PCI\\VEN_168C&DEV_002B"});
    wide.description = L"Adapter";
    FakeDeviceApi::Device narrow = MakeDevice(kNetA, {L"PCI\\VEN_1"});
    narrow.description = L"Adapter";
    fake.AddDevice(wide);

    wchar_t hwId[11] = L"";
    EXPECT_EQ(0, GetHwIdFromDesc(L"Adapter", L"Net", hwId, ARRAYSIZE(hwId)));
    EXPECT_STREQ(L"", hwId);
    fake.AddDevice(narrow);
    EXPECT_EQ(1, GetHwIdFromDesc(L"Adapter", L"Net", hwId, ARRAYSIZE(hwId)));
    EXPECT_STREQ(L"PCI\\VEN_1", hwId);
}

TEST_F(DeviceControlTest, MissingArgumentsAreRefused)
{
    fake.AddDevice(MakeDevice(kNetA, {L"X"}));
    int state = 0;
    wchar_t buffer[8];
    EXPECT_EQ(0, DeviceCtlByClass(nullptr, 0, &state, nullptr));
    EXPECT_EQ(0, DeviceCtlByClass(L"Net", 0, nullptr, nullptr));
    EXPECT_EQ(0, DeviceCtlByHwId(0, &state, L"Net", nullptr, nullptr));
    EXPECT_EQ(0, GetHwIdFromDesc(nullptr, L"Net", buffer, ARRAYSIZE(buffer)));
    EXPECT_EQ(0, GetHwIdFromDesc(L"X", L"Net", nullptr, 0));
    EXPECT_TRUE(fake.calls.empty());
}

} // namespace
