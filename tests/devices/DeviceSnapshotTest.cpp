#include "devices/DeviceControl.h"
#include "devices/DeviceSnapshot.h"

#include "tests/support/FakeDeviceApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Queries answered from a snapshot must be the answers the device installer
// gives without one, only cheaper.

namespace {

using Op = FakeDeviceApi::Op;

constexpr GUID kNetA = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr GUID kNetB = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x19}};
constexpr GUID kUsb = {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

FakeDeviceApi::Device MakeDevice(const GUID& guid, std::vector<std::wstring> ids, bool disabled,
                                 const wchar_t* name)
{
    FakeDeviceApi::Device device;
    device.classGuid = guid;
    device.hardwareIds = std::move(ids);
    device.friendlyName = name;
    if (disabled) {
        device.status = DN_HAS_PROBLEM | DN_DISABLEABLE;
        device.problem = CM_PROB_DISABLED;
    }
    return device;
}

struct Answer {
    int result;
    int state;
    std::wstring name;

    bool operator==(const Answer& other) const
    {
        return result == other.result && state == other.state && name == other.name;
    }
};

void PrintTo(const Answer& answer, std::ostream* out)
{
    *out << "{" << answer.result << ", state " << answer.state << ", " << testing::PrintToString(answer.name) << "}";
}

struct Question {
    const wchar_t* className;
    const wchar_t* prefix; // null: the whole class
};

// Asked of the snapshot when one is given, else of a walk of the class.
Answer Ask(const Question& question, CDeviceSnapshot* snapshot = nullptr)
{
    Answer answer = {0, 42, L"(none)"};
    wchar_t name[kDevicePropertyChars] = L"(none)";
    if (question.prefix && snapshot)
        answer.result = QueryByHwId(*snapshot, &answer.state, question.className, question.prefix, name,
                                    kDevicePropertyChars);
    else if (question.prefix)
        answer.result = DeviceCtlByHwId(0, &answer.state, question.className, question.prefix, nullptr, name,
                                        kDevicePropertyChars);
    else if (snapshot)
        answer.result = QueryByClass(*snapshot, question.className, &answer.state);
    else
        answer.result = DeviceCtlByClass(question.className, 0, &answer.state, nullptr);
    answer.name = name;
    return answer;
}

class DeviceSnapshotTest : public testing::Test {
protected:
    DeviceSnapshotTest()
    {
        fake.AddClass(L"Net", kNetA);
        fake.AddClass(L"Net", kNetB);
        fake.AddClass(L"USB", kUsb);
        fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_168C&DEV_002B&REV_01", L"PCI\\VEN_168C&DEV_002B"}, false,
                                  L"WLAN"));
        fake.AddDevice(MakeDevice(kNetA, {L"PCI\\VEN_10EC&DEV_8168"}, true, L"Ethernet"));
        fake.AddDevice(MakeDevice(kNetB, {L"pci\\ven_168c&dev_0030"}, true, L"Second WLAN"));
        fake.AddDevice(MakeDevice(kNetB, {L"PCI\\VEN_\u00C4BC&DEV_1"}, false, L"Not ASCII"));
        fake.AddDevice(MakeDevice(kNetB, {L"PCI\\VEN_TAB\t&DEV_1"}, true, L"Control character"));
        fake.AddDevice(MakeDevice(kUsb, {L"USB\\VID_1E0E&PID_9001&REV_0232", L"USB\\VID_1E0E&PID_9001"}, false,
                                  L"Modem"));
        fake.AddDevice(MakeDevice(kUsb, {L"USB\\VID_1E0E&PID_9001&MI_01"}, true, L"Port"));
    }

    void TearDown() override { EXPECT_EQ(0u, fake.OpenSets()); }

    FakeDeviceApi fake;
    ScopedDeviceApi api{fake};
};

const Question kQuestions[] = {
    {L"Net", nullptr},
    {L"USB", nullptr},
    {L"Bluetooth", nullptr},
    {L"Net", L"PCI\\VEN_168C"},               // two devices, one per GUID: mixed
    {L"Net", L"pci\\ven_168c&dev_002b"},       // any letter case
    {L"Net", L"PCI\\VEN_168C&DEV_002B&REV_01"},
    {L"Net", L"PCI\\VEN_168C&DEV_002B&REV_012"}, // longer than every entry
    {L"Net", L"PCI\\VEN_10EC"},
    {L"Net", L"PCI\\VEN_\u00E4bc"},            // not ASCII: found without the index
    {L"Net", L"PCI\\VEN_TAB\t"},               // a control character
    {L"Net", L"PCI\\VEN_"},
    {L"Net", L"PCI\\"},
    {L"Net", L""},                             // every device with a hardware ID
    {L"Net", L"ACPI\\"},
    {L"Net", L"USB\\VID_1E0E"},                // a device of another class
    {L"USB", L"USB\\VID_1E0E&PID_9001"},
    {L"USB", L"USB\\VID_1E0E&PID_9001&MI_01"},
    {L"USB", L"usb\\vid_1e0e&pid_9001&rev"},
    {L"Bluetooth", L"USB\\"},
};

TEST_F(DeviceSnapshotTest, AnswersAsTheInstallerDoesWithoutOne)
{
    std::vector<Answer> direct;
    for (const Question& question : kQuestions)
        direct.push_back(Ask(question));
    CDeviceSnapshot snapshot;
    for (size_t i = 0; i < ARRAYSIZE(kQuestions); ++i) {
        SCOPED_TRACE(testing::Message() << "question " << i);
        EXPECT_EQ(direct[i], Ask(kQuestions[i], &snapshot));
    }
    // Asked again, the answers stay.
    for (size_t i = 0; i < ARRAYSIZE(kQuestions); ++i) {
        SCOPED_TRACE(testing::Message() << "again, question " << i);
        EXPECT_EQ(direct[i], Ask(kQuestions[i], &snapshot));
    }
}

TEST_F(DeviceSnapshotTest, WalksEachClassOnceAndReadsEachStatusOnce)
{
    {
        CDeviceSnapshot snapshot;
        for (const Question& question : kQuestions)
            Ask(question, &snapshot);
        wchar_t hwId[kDevicePropertyChars];
        EXPECT_EQ(0, GetHwIdFromDesc(snapshot, L"No such adapter", L"Net", hwId, kDevicePropertyChars));
        // Net has two GUIDs, USB one; Bluetooth resolves to none.
        EXPECT_EQ(3u, fake.CallsOf(Op::GetClassDevs).size());
        EXPECT_EQ(fake.devices.size(), fake.CallsOf(Op::DevNodeStatus).size());
        EXPECT_EQ(3u, fake.OpenSets()); // held for the snapshot's life
    }
    EXPECT_EQ(0u, fake.OpenSets());
    Ask(kQuestions[0]);
    wchar_t hwId[kDevicePropertyChars];
    EXPECT_EQ(0, GetHwIdFromDesc(L"No such adapter", L"Net", hwId, kDevicePropertyChars));
    EXPECT_EQ(7u, fake.CallsOf(Op::GetClassDevs).size()); // without a snapshot, every question walks
}

TEST_F(DeviceSnapshotTest, KeepsWhatItSawWhileSwitchingActsOnTheMachine)
{
    const Question modem = {L"USB", L"USB\\VID_1E0E&PID_9001&REV"};
    CDeviceSnapshot before;
    EXPECT_EQ(DEVSTAT_ENABLED, Ask(modem, &before).state);
    int off = 0;
    EXPECT_EQ(1, DeviceCtlByHwId(1, &off, modem.className, modem.prefix, nullptr));
    EXPECT_TRUE(fake.IsDisabled(5));
    EXPECT_EQ(DEVSTAT_ENABLED, Ask(modem, &before).state);
    EXPECT_EQ(DEVSTAT_DISABLED, Ask(modem).state);
    CDeviceSnapshot after;
    EXPECT_EQ(DEVSTAT_DISABLED, Ask(modem, &after).state);
}

TEST_F(DeviceSnapshotTest, DevicesWhoseHardwareIdsCannotBeReadNeverMatch)
{
    fake.Fail(Op::Property).OnDevice(0).WithDetail(SPDRP_HARDWAREID);
    const Answer direct = Ask({L"Net", L"PCI\\VEN_168C"});
    EXPECT_EQ(DEVSTAT_DISABLED, direct.state);
    CDeviceSnapshot snapshot;
    EXPECT_EQ(direct, Ask({L"Net", L"PCI\\VEN_168C"}, &snapshot));
}

} // namespace
