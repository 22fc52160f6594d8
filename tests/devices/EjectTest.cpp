#include "devices/Eject.h"

#include "tests/support/FakeDeviceApi.h"

#include <gtest/gtest.h>

namespace {

using Op = FakeDeviceApi::Op;

constexpr GUID kCdromClass = {0x4d36e965, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr ULONG kRemovableDrive = DN_STARTED | DN_DISABLEABLE | DN_REMOVABLE;

FakeDeviceApi::Device Drive(const wchar_t* enumerator, ULONG status = kRemovableDrive,
                            const wchar_t* className = L"CDROM")
{
    FakeDeviceApi::Device device;
    device.classGuid = kCdromClass;
    device.enumerator = enumerator;
    device.className = className;
    device.status = status;
    return device;
}

class EjectTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(0u, fake.OpenSets()); }

    // The devices ejected (IDE) or removed (USBSTOR), in order.
    std::vector<int> Acted(Op op) const
    {
        std::vector<int> devices;
        for (const FakeDeviceApi::Call& call : fake.CallsOf(op))
            devices.push_back(call.device);
        return devices;
    }

    FakeDeviceApi fake;
    ScopedDeviceApi scope{fake};
};

TEST_F(EjectTest, NothingSuitableIsNotFound)
{
    EXPECT_EQ(EJECT_NOT_FOUND, EjectCdromDevice());
    const std::vector<FakeDeviceApi::Call> lists = fake.CallsOf(Op::GetClassDevs);
    ASSERT_EQ(2u, lists.size());
    EXPECT_EQ(static_cast<DWORD>(DIGCF_ALLCLASSES), lists[0].detail);
    EXPECT_EQ(static_cast<DWORD>(DIGCF_ALLCLASSES), lists[1].detail);

    fake.AddDevice(Drive(L"IDE", kRemovableDrive, L"DiskDrive"));
    fake.AddDevice(Drive(L"IDE", DN_STARTED | DN_REMOVABLE));              // not disableable
    fake.AddDevice(Drive(L"USBSTOR", DN_STARTED));                         // not disableable
    fake.AddDevice(Drive(L"SCSI"));                                        // another enumerator
    FakeDeviceApi::Device absent = Drive(L"USBSTOR");
    absent.present = false;                                                // no status
    fake.AddDevice(absent);
    FakeDeviceApi::Device unnamed = Drive(L"USBSTOR", kRemovableDrive, L"");
    fake.AddDevice(unnamed);                                               // empty class
    EXPECT_EQ(EJECT_NOT_FOUND, EjectCdromDevice());
    EXPECT_TRUE(fake.CallsOf(Op::RequestEject).empty());
    EXPECT_TRUE(fake.CallsOf(Op::QueryRemove).empty());
}

TEST_F(EjectTest, OnlyTheFirstSuitableDeviceIsActedOn)
{
    const int first = fake.AddDevice(Drive(L"IDE"));
    fake.AddDevice(Drive(L"IDE"));
    fake.AddDevice(Drive(L"USBSTOR"));
    EXPECT_EQ(EJECT_DONE, EjectCdromDevice());
    EXPECT_EQ(std::vector<int>{first}, Acted(Op::RequestEject));
    EXPECT_EQ(0u, fake.CallsOf(Op::RequestEject)[0].detail);
    EXPECT_TRUE(fake.CallsOf(Op::QueryRemove).empty());

    fake.calls.clear();
    fake.devices[first].ejectResult = CR_REMOVE_VETOED;
    EXPECT_EQ(EJECT_REFUSED, EjectCdromDevice());
    EXPECT_EQ(std::vector<int>{first}, Acted(Op::RequestEject));
    EXPECT_TRUE(fake.CallsOf(Op::QueryRemove).empty());
}

TEST_F(EjectTest, IdeDriveThatIsNotRemovableIsPassedOverForUsbStorage)
{
    fake.AddDevice(Drive(L"IDE", DN_STARTED | DN_DISABLEABLE));
    const int usb = fake.AddDevice(Drive(L"USBSTOR", DN_STARTED | DN_DISABLEABLE));
    EXPECT_EQ(EJECT_DONE, EjectCdromDevice());
    EXPECT_TRUE(fake.CallsOf(Op::RequestEject).empty());
    ASSERT_EQ(std::vector<int>{usb}, Acted(Op::QueryRemove));
    EXPECT_EQ(static_cast<DWORD>(CM_REMOVE_NO_RESTART), fake.CallsOf(Op::QueryRemove)[0].detail);

    fake.devices[usb].ejectResult = CR_REMOVE_VETOED;
    EXPECT_EQ(EJECT_REFUSED, EjectCdromDevice());
}

TEST_F(EjectTest, ClassNameIsComparedInAnyLetterCase)
{
    const int drive = fake.AddDevice(Drive(L"USBSTOR", kRemovableDrive, L"cdRom"));
    EXPECT_EQ(EJECT_DONE, EjectCdromDevice());
    EXPECT_EQ(std::vector<int>{drive}, Acted(Op::QueryRemove));
}

TEST_F(EjectTest, DevicesWhoseClassOrStatusCannotBeReadArePassedOver)
{
    fake.AddDevice(Drive(L"IDE"));
    fake.AddDevice(Drive(L"IDE"));
    const int third = fake.AddDevice(Drive(L"IDE"));
    fake.Fail(Op::Property).OnDevice(0).WithDetail(SPDRP_CLASS).OnlyCall(2); // the read after the size query
    fake.Fail(Op::DevNodeStatus).OnDevice(1);
    EXPECT_EQ(EJECT_DONE, EjectCdromDevice());
    EXPECT_EQ(std::vector<int>{third}, Acted(Op::RequestEject));
}

TEST_F(EjectTest, EnumeratorWhoseListFailsIsSkipped)
{
    fake.AddDevice(Drive(L"IDE"));
    const int usb = fake.AddDevice(Drive(L"USBSTOR"));
    fake.Fail(Op::GetClassDevs).OnlyCall(1);
    EXPECT_EQ(EJECT_DONE, EjectCdromDevice());
    EXPECT_EQ(std::vector<int>{usb}, Acted(Op::QueryRemove));
}

} // namespace
